// The page's worker: reads the request with the core, computes the tables in
// blocks (reporting progress after each), and hands back each table's records
// and CSV, the pattern cut and, where the core has the model-true library, the
// model-true design and the dish efficiencies. Cancelling ends the worker; the
// page starts a fresh one. Runs after the core's script and form.js in the same
// blob.
'use strict';

// Rows per block: a few tens of milliseconds of work between progress reports.
const BLOCK_ROWS = 500;
// The model-true design solves for each row (about half a millisecond): it
// follows the first rows of a long design table only.
const MODEL_MAX_ROWS = 2000;
// The model-true design: rows per progress report (a few milliseconds).
const MODEL_BLOCK_ROWS = 20;
// The dish: focal ratios f/D from 0.25 to 3 by 0.05, one progress report each.
const DISH_F_OVER_D = { start: 0.25, stop: 3, step: 0.05 };
const corePromise = KelvorCore();

// What the page shows from the core before any request: the nominal levels.
corePromise.then((core) => postMessage({ type: 'names', nominalLevels: core.nominalLevels() }));

// The rows 1..total in blocks of `size`, each computed by compute(first, last).
function blocks(total, size, compute, progress) {
  const records = [];
  const csv = [];
  for (let first = 1; first <= total; first += size) {
    const last = Math.min(total, first + size - 1);
    const block = compute(first, last);
    records.push(block.records);
    csv.push(block.csv);
    progress(last);
  }
  return { records: records.join(''), csv: csv.join('') };
}

function table(id, stage, heading, rows, size, compute) {
  const body = blocks(rows, size, compute, (done) => progress(stage, done, rows));
  postMessage({ type: 'table', id, records: heading.records + body.records,
                csv: heading.csv + body.csv });
}

function progress(stage, done, total) {
  postMessage({ type: 'progress', stage, done, total });
}

// The dish curve one focal ratio at a time, each a second or so for a large horn.
function dish(core, request, horn, freq) {
  const d = DISH_F_OVER_D;
  const total = core.rowCount(d.start, d.stop, d.step);
  const curve = { csv: core.dishHeading(request, horn, freq) };
  for (let k = 1; k <= total; ++k) {
    const point = core.dishCurve(request, horn, freq, { start: d.start, step: d.step, first: k, last: k });
    for (const [name, values] of Object.entries(point))
      curve[name] = name === 'csv' ? curve.csv + values : [...(curve[name] || []), values[0]];
    progress('f/D', k, total);
  }
  postMessage({ type: 'dish', freq, S: core.hornPhaseDeviation(request, horn, freq),
                validity: core.hornValidity(request, horn, freq), ...curve });
}

// The tables, pattern and dish of one request, each posted as it is done.
function compute(core, params) {
  const plan = kelvorPlan(core, params);
  if (plan.errors) {
    postMessage({ type: 'invalid', errors: plan.errors });
    return;
  }
  const { request, horn, design, response, pattern } = plan;
  const model = design && core.modelDesignBlock ? Math.min(design.last, MODEL_MAX_ROWS) : 0;
  // A horn too large for the dish's integrals is refused before anything runs.
  const refusal = pattern && core.dishRefusal ? core.dishRefusal(request, horn, pattern.freq) : '';
  postMessage({ type: 'start', refusal });
  if (design)
    table('design', 'design rows', core.designHeading(request), design.last, BLOCK_ROWS,
          (first, last) => core.designBlock(request, { ...design, first, last }));
  if (response)
    table('response', 'response rows', core.responseHeading(request, horn), response.last,
          BLOCK_ROWS,
          (first, last) => core.responseBlock(request, horn, { ...response, first, last }));
  if (model)
    table('model', 'model-true rows', core.modelDesignHeading(request), model, MODEL_BLOCK_ROWS,
          (first, last) => core.modelDesignBlock(request, { ...design, first, last }));
  if (pattern) {
    const cut = core.pattern(request, horn, pattern.freq, pattern.range);
    postMessage({ type: 'pattern', freq: pattern.freq, unit: core.unitName(request.IUNIT),
                  theta: cut.theta, level: cut.level, phase: cut.phaseFromCentre,
                  phaseCentre: cut.phaseCentre, csv: cut.csv },
                [cut.theta.buffer, cut.level.buffer, cut.phaseFromCentre.buffer]);
  }
  if (pattern && core.dishCurve && !refusal)
    dish(core, request, horn, pattern.freq);
  postMessage({ type: 'done' });
}

// An exception in a promise's callback only rejects the promise, and the page would wait for
// ever: thrown again from a task of its own, it reaches the page's onerror as any uncaught one.
function rethrow(error) {
  setTimeout(() => { throw error; });
}

onmessage = (event) => corePromise.then((core) => compute(core, event.data.params)).catch(rethrow);
