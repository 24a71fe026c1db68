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
// The dish: focal ratios f/D from 0.25 to 3 by 0.05.
const DISH_F_OVER_D = { start: 0.25, stop: 3, step: 0.05 };
const corePromise = KelvorCore();

function blocks(total, compute, progress) {
  const records = [];
  const csv = [];
  for (let first = 1; first <= total; first += BLOCK_ROWS) {
    const last = Math.min(total, first + BLOCK_ROWS - 1);
    const block = compute(first, last);
    records.push(block.records);
    csv.push(block.csv);
    progress(last - first + 1);
  }
  return { records: records.join(''), csv: csv.join('') };
}

function table(id, heading, rows, compute, progress) {
  const body = blocks(rows, compute, progress);
  postMessage({ type: 'table', id, records: heading.records + body.records,
                csv: heading.csv + body.csv });
}

onmessage = async (event) => {
  const core = await corePromise;
  const { params } = event.data;
  const plan = kelvorPlan(core, params);
  if (plan.errors) {
    postMessage({ type: 'invalid', errors: plan.errors });
    return;
  }
  const { request, horn, design, response, pattern } = plan;
  const model = design && core.modelDesignBlock ? Math.min(design.last, MODEL_MAX_ROWS) : 0;
  const total = (design ? design.last : 0) + (response ? response.last : 0) + model;
  let done = 0;
  const progress = (n) => {
    done += n;
    postMessage({ type: 'progress', done, total });
  };
  postMessage({ type: 'start', total });
  if (design)
    table('design', core.designHeading(request), design.last,
          (first, last) => core.designBlock(request, { ...design, first, last }), progress);
  if (response)
    table('response', core.responseHeading(request, horn), response.last,
          (first, last) => core.responseBlock(request, horn, { ...response, first, last }),
          progress);
  if (model)
    table('model', core.modelDesignHeading(request), model,
          (first, last) => core.modelDesignBlock(request, { ...design, first, last }), progress);
  if (pattern) {
    const cut = core.pattern(request, horn, pattern.freq, pattern.range);
    postMessage({ type: 'pattern', freq: pattern.freq, unit: request.IUNIT === 1 ? 'cm' : 'in',
                  theta: cut.theta, level: cut.level, phase: cut.phase, csv: cut.csv },
                [cut.theta.buffer, cut.level.buffer, cut.phase.buffer]);
  }
  if (pattern && core.dishCurve) {
    const d = DISH_F_OVER_D;
    const range = { start: d.start, step: d.step, first: 1,
                    last: core.rowCount(d.start, d.stop, d.step) };
    const dish = core.dishCurve(request, horn, pattern.freq, range);
    postMessage({ type: 'dish', freq: pattern.freq, ...dish });
  }
  postMessage({ type: 'done' });
};
