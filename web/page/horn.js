// The "Horn as built" section: its request (the query parameters hband, haperture, hslant, hfreq,
// and hopt=1 to optimise, with hoptfreq frequencies and at most hopteval evaluations), a worker of
// its own with its own core (none in a build without modal/: no section), the optimiser's
// progress, the drawn profile, S11 and the cross-polar peak against frequency, the cuts at one
// frequency and the downloads, of the horn as optimised. Cancelling ends the worker.
'use strict';

const HORN_FIELDS = ['hband', 'haperture', 'hslant', 'hfreq', 'hopt', 'hoptfreq', 'hopteval'];
const HORN_EXAMPLE = { hband: '10.7:12.75', haperture: '60', hslant: '200', hfreq: '11.7' };
const hornFiles = {};
let hornWorker = null;
// The last optimisation's figures (start and best worst S11 and cross-polar peak, dB).
let hornOptimised = null;

function hornParams() {
  const params = {};
  for (const name of HORN_FIELDS) {
    const value = $(name).type === 'checkbox' ? ($(name).checked ? '1' : '') : $(name).value.trim();
    if (value)
      params[name] = value;
  }
  return params;
}

function hornFill(params) {
  for (const name of HORN_FIELDS) {
    if ($(name).type === 'checkbox')
      $(name).checked = params[name] === '1';
    else
      $(name).value = params[name] || '';
  }
}

function hornEnd(text) {
  if (hornWorker)
    hornWorker.terminate();
  hornWorker = null;
  $('horn-progress').hidden = true;
  $('horn-cancel').hidden = true;
  $('horn-status').textContent = text;
}

function hornErrors(errors) {
  const field = { band: 'hband', aperture: 'haperture', slant: 'hslant', freq: 'hfreq',
                  optFreqs: 'hoptfreq', optEvaluations: 'hopteval', form: 'horn-form' };
  for (const [key, id] of Object.entries(field))
    $(`${id}-error`).textContent = errors[key] || '';
}

function hornCompute(params) {
  hornEnd('');
  hornErrors({});
  $('horn-result').hidden = true;
  $('horn-link').hidden = true;
  hornOptimised = null;
  for (const name of Object.keys(hornFiles))
    delete hornFiles[name];
  const source = $('horn-worker-source').textContent;
  const url = URL.createObjectURL(new Blob([source], { type: 'text/javascript' }));
  const w = new Worker(url);
  URL.revokeObjectURL(url);
  hornWorker = w;
  w.onmessage = (event) => w === hornWorker && hornResult(event.data, params);
  w.onerror = (event) => {
    event.preventDefault();
    if (w === hornWorker)
      hornEnd(`The computation failed: ${event.message || 'unknown error'}.`);
  };
  $('horn-progress').removeAttribute('value');
  $('horn-progress').hidden = false;
  $('horn-cancel').hidden = false;
  $('horn-status').textContent = 'Synthesising…';
  w.postMessage({ band: params.hband, aperture: params.haperture, slant: params.hslant,
                  freq: params.hfreq, optimise: params.hopt === '1', optFreqs: params.hoptfreq,
                  optEvaluations: params.hopteval });
}

function hornResult(m, params) {
  switch (m.type) {
  case 'horn-invalid':
    hornErrors(m.errors);
    hornEnd('Nothing computed: see the marked fields.');
    break;
  case 'horn-profile':
    Object.assign(hornFiles, { csv: m.csv, dxf: m.dxf });
    $('horn-summary').textContent = `${m.slots} slots, pitch ${m.pitchMm.toFixed(3)} mm, ` +
                                    `flare half-angle ${m.flareDeg.toFixed(2)} degrees.` +
                                    (m.best ? ` ${hornOptimisedText(m)}` : '');
    if (m.best)
      hornOptimised = { start: m.start, best: m.best, evaluations: m.evaluations };
    $('horn-result').hidden = false;
    drawProfile(m.sections);
    break;
  case 'horn-optimising':
    $('horn-progress').max = m.total;
    $('horn-progress').value = m.evaluation;
    $('horn-status').textContent = `Optimising: evaluation ${m.evaluation} of at most ${m.total} ` +
      `(${m.frequencies} frequenc${m.frequencies === 1 ? 'y' : 'ies'}), ` +
      `worst S11 ${hornDb(m.now.s11Db)}, cross-polar peak ${hornDb(m.now.xpolDb)} ` +
      `(best ${hornDb(m.best.s11Db)}, ${hornDb(m.best.xpolDb)})`;
    break;
  case 'horn-progress':
    $('horn-progress').max = m.total;
    $('horn-progress').value = m.done;
    $('horn-status').textContent = `Analysing: frequency ${m.done + 1} of ${m.total}`;
    break;
  case 'horn-band':
    drawHornBand(m);
    break;
  case 'horn-cuts':
    hornFiles.cut = m.cut;
    drawHornCuts(m);
    $('horn-link').href = `?${new URLSearchParams(params)}`;
    $('horn-link').hidden = false;
    hornEnd(m.failure ? `No pattern at ${+m.freq.toPrecision(7)} GHz: ${m.failure}.` : 'Done.');
    break;
  }
}

function hornDb(value) {
  return Number.isFinite(value) ? `${value.toFixed(2)} dB` : 'no answer';
}

function hornOptimisedText(m) {
  return `Optimised over ${m.frequencies} frequencies in ${m.evaluations} evaluations ` +
         `(${m.seconds.toFixed(1)} s): worst S11 ${hornDb(m.start.s11Db)} to ${hornDb(m.best.s11Db)}, ` +
         `cross-polar peak ${hornDb(m.start.xpolDb)} to ${hornDb(m.best.xpolDb)}; targets ` +
         `(S11 ${hornDb(m.s11TargetDb)}, cross-polar ${hornDb(m.xpolTargetDb)}) ${m.targetsMet ? 'met' : 'not met'}.`;
}

// The wall of the half-section, (z, r) in mm, to scale: each section a step of radius.
function drawProfile(sections) {
  const points = [];
  let z = 0;
  for (let i = 0; i < sections.length; i += 2) {
    const [length, radius] = [sections[i] * 1e3, sections[i + 1] * 1e3];
    points.push([z, radius], [z + length, radius]);
    z += length;
  }
  const top = Math.max(...points.map((p) => p[1]));
  const svg = $('horn-profile');
  const pad = 0.03 * z;
  svg.setAttribute('viewBox', `${-pad} ${-pad} ${z + 2 * pad} ${top + 2 * pad}`);
  // The radius grows upward: the axis along the bottom edge.
  const path = points.map(([pz, r], i) => `${i ? 'L' : 'M'}${pz} ${top - r}`).join('');
  svg.innerHTML = `<line x1="0" y1="${top}" x2="${z}" y2="${top}" class="axis"/>` +
                  `<path d="${path}" class="wall"/>`;
}

function drawHornBand(m) {
  const finite = (values) => values.map((v) => (Number.isFinite(v) ? v : null));
  draw('horn-band', {
    scales: { x: { time: false } },
    axes: [{ label: 'Frequency (GHz)' }, { label: 'Level (dB)' }],
    series: [{ label: 'GHz' }, { label: 'S11 (dB)', stroke: '#1f5fa8', width: 2 },
             { label: 'Cross-polar peak, 45° (dB)', stroke: '#b5651d', width: 2 }],
  }, [Array.from(m.freqs), finite(m.s11), finite(m.xpol)]);
}

function drawHornCuts(m) {
  $('horn-cuts-caption').textContent = `Co- and cross-polar cuts at ${+m.freq.toPrecision(7)} GHz (Ludwig 3).`;
  if (m.failure || !m.cuts.length)
    return;
  const [e, d, h] = m.cuts;
  const finite = (values) => Array.from(values, (v) => (Number.isFinite(v) ? v : null));
  draw('horn-cuts', {
    scales: { x: { time: false }, y: { range: (u, min) => [Math.max(min, -80), 0] } },
    axes: [{ label: 'Angle off the axis (degrees)' }, { label: 'Level (dB)' }],
    series: [{ label: 'deg' }, { label: 'Co, E-plane', stroke: '#1f5fa8', width: 2 },
             { label: 'Co, H-plane', stroke: '#2e7d32', width: 2 },
             { label: 'Cross, 45°', stroke: '#b5651d', width: 2 }],
  }, [Array.from(e.theta), finite(e.co), finite(h.co), finite(d.cross)]);
}

function hornDownload(kind, type) {
  if (!hornFiles[kind])
    return;
  const a = document.createElement('a');
  a.href = URL.createObjectURL(new Blob([hornFiles[kind]], { type }));
  a.download = `kelvor-horn.${kind}`;
  document.body.appendChild(a);
  a.click();
  a.remove();
  setTimeout(() => URL.revokeObjectURL(a.href), 1000);
}

$('horn-request').addEventListener('submit', (event) => {
  event.preventDefault();
  hornCompute(hornParams());
});
$('horn-cancel').addEventListener('click', () => hornEnd('Cancelled.'));
$('horn-example').addEventListener('click', () => hornFill(HORN_EXAMPLE));
$('horn-csv').addEventListener('click', () => hornDownload('csv', 'text/csv'));
$('horn-dxf').addEventListener('click', () => hornDownload('dxf', 'application/dxf'));
$('horn-cut').addEventListener('click', () => hornDownload('cut', 'text/plain'));

$('horn-section').hidden = !$('horn-worker-source').textContent;
// A link with a horn computes it at once, after the request above has its worker.
const hornQuery = new URLSearchParams(location.search);
if (!$('horn-section').hidden && HORN_FIELDS.some((name) => hornQuery.has(name))) {
  const params = Object.fromEntries(HORN_FIELDS.filter((n) => hornQuery.has(n))
                                      .map((n) => [n, hornQuery.get(n)]));
  hornFill(params);
  hornCompute(params);
}
