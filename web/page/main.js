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

// The form's fields as query parameters, empty ones left out.
function paramsFromForm() {
  const params = {};
  for (const name of KELVOR_FIELDS) {
    const value = name === 'unit' ? form.elements.unit.value : form.elements[name].value.trim();
    if (value !== '')
      params[name] = value;
  }
  return params;
}

// A unit the page does not know leaves both choices clear (and is reported).
function fillForm(params) {
  for (const name of KELVOR_FIELDS) {
    if (name === 'unit')
      for (const choice of form.elements.unit)
        choice.checked = choice.value === (params.unit || 'in');
    else
      form.elements[name].value = params[name] || '';
  }
}

function queryString(params) {
  return new URLSearchParams(params).toString().replace(/%3A/g, ':').replace(/%2C/g, ',');
}

function showErrors(errors) {
  for (const el of form.querySelectorAll('.error')) {
    el.textContent = '';
    const field = form.elements[el.id.replace(/-error$/, '')];
    if (field && field.setAttribute)
      field.removeAttribute('aria-invalid');
  }
  let firstInvalid = null;
  for (const [name, message] of Object.entries(errors || {})) {
    const el = $(`${name}-error`);
    if (el)
      el.textContent = message;
    const field = form.elements[name];
    if (field && field.setAttribute) {
      field.setAttribute('aria-invalid', 'true');
      firstInvalid = firstInvalid || field;
    }
  }
  return firstInvalid;
}

function setStatus(text) {
  $('status').textContent = text;
}

function compute(params) {
  cancel(false);
  showErrors(null);
  running = { params };
  for (const name of sections) {
    $(`${name}-section`).hidden = true;
    delete csv[name];
  }
  $('progress').value = 0;
  $('progress').hidden = false;
  $('cancel').hidden = false;
  setStatus('Computing…');
  worker = worker || newWorker();
  worker.postMessage({ params });
}

function finish(text) {
  running = null;
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
    $('progress').max = Math.max(m.total, 1);
    history.replaceState(null, '', `?${queryString(running.params)}`);
    $('link').href = location.href;
    $('link').hidden = false;
    break;
  case 'progress':
    $('progress').value = m.done;
    setStatus(`Computing… ${m.done} of ${m.total} rows`);
    break;
  case 'table':
    showTable($(tableIds[m.id]), m.records);
    csv[m.id] = m.csv;
    $(`${m.id}-section`).hidden = false;
    break;
  case 'pattern':
    csv.pattern = m.csv;
    $('pattern-section').hidden = false;
    $('pattern-caption').textContent =
      `Pattern of the horn ${running.params.aperture} by ${running.params.slant} ${m.unit} ` +
      `at ${floatText(m.freq)} GHz: level relative to the axis and phase.`;
    drawPattern(m);
    break;
  case 'dish':
    csv.dish = m.csv;
    $('dish-section').hidden = false;
    $('dish-caption').textContent =
      `The same horn at ${floatText(m.freq)} GHz feeding paraboloids of focal ratio f/D, ` +
      'each with the feed at the position of its highest aperture efficiency (model-true, ' +
      "Silver's integrals): the aperture efficiency and its factors.";
    drawDish(m);
    break;
  case 'done':
    finish('Done.');
    break;
  }
}

// A table goes into its block in pieces of CHUNK_LINES records, each laid out
// only when scrolled into view (content-visibility), so that a table of a
// hundred thousand rows appears at once and scrolls freely. The block's text is
// still the records, one per line.
const CHUNK_LINES = 1000;
function showTable(pre, records) {
  const pieces = [];
  let at = 0;
  while (at < records.length) {
    let end = at;
    let lines = 0;
    for (; lines < CHUNK_LINES && end < records.length; ++lines)
      end = records.indexOf('\n', end) + 1 || records.length;
    const piece = document.createElement('span');
    piece.className = 'records';
    // The height a piece takes before it is laid out: its lines at the block's line height.
    piece.style.containIntrinsicSize = `auto ${1.25 * lines}em`;
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
    scales: { x: { time: false }, phase: { range: [-180, 180] } },
    axes: [
      { label: 'Angle off the axis (degrees)' },
      { label: 'Level (dB)' },
      { scale: 'phase', side: 1, label: 'Phase (degrees)', grid: { show: false } },
    ],
    series: [
      { label: 'Angle (deg)' },
      { label: 'Level (dB)', stroke: '#1f5fa8', width: 2 },
      { label: 'Phase (deg)', scale: 'phase', stroke: '#b5651d', width: 1, dash: [6, 4] },
    ],
  };
  // The phase is wrapped to -180..180: a gap at each wrap, not a vertical line.
  const phase = Array.from(m.phase, (p, i) => (i > 0 && Math.abs(p - m.phase[i - 1]) > 180 ? null : p));
  draw('pattern', opts, [Array.from(m.theta), Array.from(m.level), phase]);
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
