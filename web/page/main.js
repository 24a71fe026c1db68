// The page: the form and the query string, the worker's lifecycle (start,
// progress, cancel), the tables, the CSV downloads and the pattern figure.
'use strict';

const $ = (id) => document.getElementById(id);
const form = $('request');
const tableIds = { design: 'design-table', response: 'response-table', model: 'model-design-table' };
const sections = ['design', 'response', 'pattern', 'model', 'dish'];
const csv = {};
let worker = null;
let running = null;
const plots = {};

function newWorker() {
  const source = $('worker-source').textContent;
  const url = URL.createObjectURL(new Blob([source], { type: 'text/javascript' }));
  const w = new Worker(url);
  URL.revokeObjectURL(url);
  // Messages of a worker already replaced (cancelled) are not for this request.
  w.onmessage = (event) => {
    if (w === worker)
      onResult(event.data);
  };
  // A failed worker is dropped; the next request starts another.
  w.onerror = (event) => {
    event.preventDefault();
    w.terminate();
    worker = null;
    finish(`The computation failed: ${event.message || 'unknown error'}.`);
  };
  return w;
}

// The form's fields as query parameters, empty ones left out. With no unit
// chosen (a link's unknown unit clears both) the request says so, and is refused.
function paramsFromForm() {
  const params = {};
  for (const name of KELVOR_FIELDS) {
    const field = form.elements[name];
    const value = name === 'unit' ? field.value || 'none'
      : field.type === 'checkbox' ? (field.checked ? field.value : '') : field.value.trim();
    if (value !== '')
      params[name] = value;
  }
  return params;
}

// A unit the page does not know leaves both choices clear (and is reported).
function fillForm(params) {
  for (const name of KELVOR_FIELDS) {
    const field = form.elements[name];
    if (name === 'unit')
      for (const choice of field)
        choice.checked = choice.value === (params.unit || 'in');
    else if (field.type === 'checkbox')
      field.checked = params[name] === field.value;
    else
      field.value = params[name] || '';
  }
  showUnit();
}

// Each length's label names the chosen unit.
function showUnit() {
  for (const el of form.querySelectorAll('.unit'))
    el.textContent = form.elements.unit.value || '?';
}

function queryString(params) {
  return new URLSearchParams(params).toString().replace(/%3A/g, ':').replace(/%2C/g, ',');
}

// The element that carries a field's invalid mark: the input, or for the unit
// the group of its choices.
function marked(name) {
  return name === 'unit' ? $('unit-group') : form.elements[name];
}

function showErrors(errors) {
  for (const el of form.querySelectorAll('.error')) {
    el.textContent = '';
    const field = marked(el.id.replace(/-error$/, ''));
    if (field && field.setAttribute)
      field.removeAttribute('aria-invalid');
  }
  let firstInvalid = null;
  for (const name of KELVOR_FIELDS.concat('form').filter((n) => errors && n in errors)) {
    $(`${name}-error`).textContent = errors[name];
    const field = marked(name);
    if (field && field.setAttribute) {
      field.setAttribute('aria-invalid', 'true');
      firstInvalid = firstInvalid || (name === 'unit' ? form.elements.unit[0] : field);
    }
  }
  return firstInvalid;
}

// The live region speaks when a job starts, changes stage and ends; the
// progress text beside the bar follows every report, silently.
function setStatus(text) {
  $('status').textContent = text;
  $('progress-text').textContent = '';
}

function compute(params) {
  cancel(false);
  showErrors(null);
  $('link').hidden = true;
  running = { params, stage: null, shown: false };
  for (const name of sections) {
    $(`${name}-section`).hidden = true;
    delete csv[name];
  }
  $('progress').removeAttribute('value');
  $('dish-refusal').textContent = '';
  $('dish-validity').textContent = '';
  $('progress').hidden = false;
  $('cancel').hidden = false;
  setStatus('Computing…');
  worker = worker || newWorker();
  worker.postMessage({ params });
}

function finish(text) {
  running = null;
  // The focus leaves the Cancel button before it is hidden, for the next request.
  if (document.activeElement === $('cancel'))
    $('compute').focus();
  $('progress').hidden = true;
  $('cancel').hidden = true;
  setStatus(text);
}

// Cancelling ends the worker at once, however long its table; a new worker
// (with its own copy of the core) is made ready for the next request.
function cancel(report = true) {
  if (!running)
    return;
  if (worker)
    worker.terminate();
  worker = newWorker();
  finish(report ? 'Cancelled.' : '');
}

function onResult(m) {
  if (m.type === 'names')
    $('index-levels').textContent = m.nominalLevels.map((l, i) => `(${i + 1}) ${l}`).join(', ');
  if (!running)
    return;
  switch (m.type) {
  case 'invalid': {
    const field = showErrors(m.errors);
    finish('Nothing computed: correct the marked fields.');
    if (field)
      field.focus();
    break;
  }
  case 'start':
    history.replaceState(null, '', `?${queryString(running.params)}`);
    $('link').href = location.href;
    $('link').hidden = false;
    if (m.refusal) {
      $('dish-refusal').textContent = `Dish efficiencies not computed: ${m.refusal}.`;
      $('dish-section').hidden = false;
    }
    break;
  case 'progress':
    $('progress').max = m.total;
    $('progress').value = m.done;
    if (m.stage !== running.stage) {
      running.stage = m.stage;
      $('status').textContent = `Computing the ${m.stage}…`;
    }
    $('progress-text').textContent = `${m.stage} ${m.done} of ${m.total}`;
    break;
  case 'table':
    showTable($(tableIds[m.id]), m.records);
    csv[m.id] = m.csv;
    show(m.id);
    if (m.id === 'response')
      drawResponse(m.csv);
    break;
  case 'pattern':
    csv.pattern = m.csv;
    show('pattern');
    $('pattern-caption').textContent =
      `Pattern of the horn ${running.params.aperture} by ${running.params.slant} ${m.unit} ` +
      `at ${floatText(m.freq)} GHz: level relative to the axis, and phase unwrapped and ` +
      `referred to the phase centre, ${floatText(m.phaseCentre)} ${m.unit} behind the aperture ` +
      'plane (0 on the axis).';
    drawPattern(m);
    break;
  case 'dish':
    csv.dish = m.csv;
    show('dish');
    $('dish-title').textContent = `Dish efficiencies: ${hornTitle(m)}`;
    // Where the model stops: the flag, in words, above the figure.
    $('dish-validity').textContent = `Model validity at ${floatText(m.freq)} GHz: ${m.validity}.`;
    $('dish-validity').className = m.validity === 'valid' ? '' : 'error';
    $('dish-caption').textContent =
      `The horn at ${floatText(m.freq)} GHz feeding paraboloids of focal ratio f/D, ` +
      'each with the feed at the position of its highest aperture efficiency (model-true, ' +
      "Silver's integrals): the aperture efficiency and its factors. The CSV gives each " +
      'feed position and edge illumination.';
    drawDish(m);
    break;
  case 'done':
    finish('Done.');
    break;
  }
}

// A section shown; the first of a job brings the results into view.
function show(name) {
  const section = $(`${name}-section`);
  section.hidden = false;
  if (!running.shown) {
    running.shown = true;
    section.scrollIntoView({ block: 'start' });
  }
}

// The horn as typed, its phase deviation at the frequency, and where the feed goes.
function hornTitle(m) {
  const p = running.params;
  const unit = p.unit || 'in';
  let best = 0;
  m.aperture.forEach((v, i) => { best = v > m.aperture[best] ? i : best; });
  return `a = ${p.aperture} ${unit}, R = ${p.slant} ${unit}, S = ${m.S.toFixed(3)} at ` +
         `${floatText(m.freq)} GHz; best f/D ${m.fOverD[best].toFixed(2)} with the feed ` +
         `${m.feedPosition[best].toFixed(3)} ${unit} behind the aperture plane`;
}

// A table goes into its block in pieces of CHUNK_LINES records, each laid out
// only when scrolled into view (content-visibility), so that a table of a
// hundred thousand rows appears at once and scrolls freely. The block's text is
// still the records, one per line. A piece's containment clips what overflows
// its box, so each is given the width of its longest record: the block then
// scrolls sideways to the last column on a narrow screen.
const CHUNK_LINES = 1000;
function showTable(pre, records) {
  const pieces = [];
  let at = 0;
  while (at < records.length) {
    let end = at;
    let lines = 0;
    let widest = 0;
    for (; lines < CHUNK_LINES && end < records.length; ++lines) {
      const next = records.indexOf('\n', end) + 1 || records.length;
      widest = Math.max(widest, next - end);
      end = next;
    }
    const piece = document.createElement('span');
    piece.className = 'records';
    // The size a piece takes before it is laid out: its lines at the block's line height.
    piece.style.width = `${widest}ch`;
    piece.style.containIntrinsicSize = `${widest}ch ${1.25 * lines}em`;
    piece.textContent = records.slice(at, end);
    pieces.push(piece);
    at = end;
  }
  pre.replaceChildren(...pieces);
}

// The shortest decimal text that names the float x (for captions only).
function floatText(x) {
  for (let digits = 1; digits < 9; ++digits) {
    const text = String(Number(x.toPrecision(digits)));
    if (Math.fround(Number(text)) === x)
      return text;
  }
  return String(x);
}

// A figure in its box, replacing the one before.
function draw(name, opts, data) {
  const box = $(`${name}-plot`);
  if (plots[name])
    plots[name].destroy();
  plots[name] = new uPlot({ width: Math.max(280, box.clientWidth), height: 320, ...opts }, data, box);
}

function drawPattern(m) {
  const opts = {
    // The level from the axis down to its lowest or 80 dB, whichever is higher: the
    // null at 180 degrees (the obliquity factor's zero) would flatten the rest.
    scales: { x: { time: false }, y: { range: (u, min) => [Math.max(min, -80), 0] },
              phase: { auto: true } },
    axes: [
      { label: 'Angle off the axis (degrees)' },
      { label: 'Level (dB)' },
      { scale: 'phase', side: 1, label: 'Phase from phase centre (deg)', grid: { show: false } },
    ],
    series: [
      { label: 'Angle (deg)' },
      { label: 'Level (dB)', stroke: '#1f5fa8', width: 2 },
      { label: 'Phase (deg)', scale: 'phase', stroke: '#b5651d', width: 1, dash: [6, 4] },
    ],
  };
  const finite = (values) => Array.from(values, (v) => (Number.isFinite(v) ? v : null));
  draw('pattern', opts, [Array.from(m.theta), finite(m.level), finite(m.phase)]);
}

// The response's beamwidths against frequency from its CSV: an empty cell (a
// level the pattern never falls to) is a gap in its line.
function drawResponse(text) {
  const lines = text.split('\n').filter((l) => l && !l.startsWith('#'));
  const names = lines[0].split(',');
  const rows = lines.slice(1).map((l) => l.split(','));
  const column = (i) => rows.map((r) => (r[i] === '' ? null : Number(r[i])));
  const colours = ['#1f5fa8', '#2e7d32', '#b5651d', '#6a1b9a'];
  const widths = [1, 2, 3, 4];
  const opts = {
    scales: { x: { time: false } },
    axes: [{ label: 'Frequency (GHz)' }, { label: 'Beamwidth (degrees)' }],
    series: [{ label: 'GHz' }, ...widths.map((i) => ({
      label: names[i].replace(/^beamwidth_(.*)db_deg$/, 'at $1 dB'), stroke: colours[i - 1],
      width: 2, spanGaps: false, points: { show: rows.length < 40 } }))],
  };
  draw('response', opts, [column(0), ...widths.map(column)]);
}

function drawDish(m) {
  const percent = (values) => Array.from(values, (v) => (Number.isFinite(v) ? 100 * v : null));
  const opts = {
    scales: { x: { time: false }, y: { range: [0, 100] } },
    axes: [{ label: 'Focal ratio f/D' }, { label: 'Efficiency (%)' }],
    series: [
      { label: 'f/D' },
      { label: 'Aperture (%)', stroke: '#1f5fa8', width: 2, points: { show: false } },
      { label: 'Spillover (%)', stroke: '#2e7d32', width: 1, points: { show: false } },
      { label: 'Illumination (%)', stroke: '#b5651d', width: 1, points: { show: false } },
      { label: 'Phase (%)', stroke: '#6a1b9a', width: 1, dash: [6, 4], points: { show: false } },
    ],
  };
  draw('dish', opts, [Array.from(m.fOverD), percent(m.aperture), percent(m.spillover),
                      percent(m.illumination), percent(m.phase)]);
}

function download(name) {
  if (!csv[name])
    return;
  const a = document.createElement('a');
  a.href = URL.createObjectURL(new Blob([csv[name]], { type: 'text/csv' }));
  a.download = `kelvor-${name}.csv`;
  document.body.appendChild(a);
  a.click();
  a.remove();
  setTimeout(() => URL.revokeObjectURL(a.href), 1000);
}

form.addEventListener('submit', (event) => {
  event.preventDefault();
  compute(paramsFromForm());
});
$('cancel').addEventListener('click', () => cancel());
for (const choice of form.elements.unit)
  choice.addEventListener('change', showUnit);
// The README's example: a design request and the horn it gives.
$('example').addEventListener('click', () => fillForm(Object.fromEntries(new URLSearchParams(
  'unit=in&freq=10&beamwidth=30&level=10&s=0.1:0.1:0.1&aperture=2.6118&slant=28.8985&fresp=9:11:1'))));
document.addEventListener('keydown', (event) => {
  if (event.key === 'Escape' && running)
    cancel();
});
for (const name of sections)
  $(`${name}-csv`).addEventListener('click', () => download(name));
window.addEventListener('resize', () => {
  for (const [name, plot] of Object.entries(plots))
    plot.setSize({ width: Math.max(280, $(`${name}-plot`).clientWidth), height: 320 });
});

worker = newWorker();
// A link with a request computes at once, from the link's own text.
const query = Object.fromEntries(new URLSearchParams(location.search));
const linked = Object.fromEntries(KELVOR_FIELDS.filter((name) => name in query)
                                    .map((name) => [name, query[name]]));
if (Object.keys(linked).length > 0) {
  fillForm(linked);
  compute(linked);
}
// From a web server, a service worker keeps the page for use offline.
if ('serviceWorker' in navigator && location.protocol.startsWith('http'))
  navigator.serviceWorker.register('sw.js').catch(() => {});
