// The request behind the page: the query-string fields, and the plan that the
// worker computes from them. Every typed number is read by the core
// (core.readNumber: the dialogue's own list-directed reading, decimal text to
// the nearest float), never by JavaScript. Loaded by the worker and by the
// tests under node.
'use strict';

// The fields in the order of the dialogue's questions, each a query parameter.
const KELVOR_FIELDS = ['unit', 'freq', 'beamwidth', 'level', 'index', 's',
                       'aperture', 'slant', 'fresp', 'pfreq'];
// A table longer than this is refused rather than left to exhaust the tab.
const KELVOR_MAX_ROWS = 1000000;
// The pattern cut: 0 to 90 degrees off the axis by a quarter degree.
const KELVOR_PATTERN_THETA = { start: 0, stop: 90, step: 0.25 };

const kelvorNumberMessages = [
  null,
  'Enter a number.',
  'Not a number the program reads.',
  'Too large for a single-precision number.',
  'One number only.',
];

// The plan of a computation: the request and the tables it asks for, or the
// message of every field that cannot be taken. Nothing is computed from a plan
// with errors.
function kelvorPlan(core, params) {
  const errors = {};
  const text = (name) => String(params[name] == null ? '' : params[name]).trim();
  const given = (name) => text(name) !== '';

  // One number greater than 0.
  function number(name) {
    const n = core.readNumber(text(name));
    if (n.status !== 0) {
      errors[name] = kelvorNumberMessages[n.status] || 'Not a number.';
      return null;
    }
    if (!(n.value > 0)) {
      errors[name] = 'Must be greater than 0.';
      return null;
    }
    return n.value;
  }

  // start:stop:step, counted as the dialogue counts a table's rows.
  function range(name, allowed, message) {
    const parts = text(name).split(':');
    if (parts.length !== 3) {
      errors[name] = 'Enter start:stop:step, three numbers.';
      return null;
    }
    const values = [];
    for (const part of parts) {
      const n = core.readNumber(part);
      if (n.status !== 0) {
        errors[name] = `${kelvorNumberMessages[n.status] || 'Not a number.'} (${part.trim() || 'empty'})`;
        return null;
      }
      values.push(n.value);
    }
    const [start, stop, step] = values;
    if (step === 0) {
      errors[name] = 'The step must not be 0.';
      return null;
    }
    const rows = core.rowCount(start, stop, step);
    if (rows < 1) {
      errors[name] = 'This range has no rows: from start, the step must lead towards stop.';
      return null;
    }
    if (rows > KELVOR_MAX_ROWS) {
      errors[name] = `This range has ${rows} rows; at most ${KELVOR_MAX_ROWS} are computed.`;
      return null;
    }
    const first = core.rowValue(1, start, step);
    const last = core.rowValue(rows, start, step);
    if (!allowed(Math.min(first, last))) {
      errors[name] = message;
      return null;
    }
    return { start, step, first: 1, last: rows };
  }

  const unitText = text('unit') || 'in';
  if (unitText !== 'in' && unitText !== 'cm')
    errors.unit = 'The unit is in or cm.';
  const request = { IUNIT: unitText === 'cm' ? 1 : 2, FREQ: 0, BWUSR: 0, LEVUSR: 0, KLEV: 0 };

  const wantDesign = ['freq', 'beamwidth', 's'].some(given);
  // The pattern is drawn for the horn at the pattern frequency, or else at the
  // design frequency, or else at the first frequency of the response. A horn
  // with a pattern frequency alone asks for no response table.
  const wantPattern = given('pfreq');
  const wantResponse = given('fresp') || (!wantPattern && ['aperture', 'slant'].some(given));
  if (!wantDesign && !wantResponse && !wantPattern)
    errors.form = 'Enter a design request, a horn, or both.';

  if (wantDesign) {
    request.FREQ = number('freq');
    request.BWUSR = number('beamwidth');
  }
  // The level and its index set the beamwidth columns of both tables.
  if (wantDesign || wantResponse) {
    request.LEVUSR = number('level');
    if (request.LEVUSR !== null) {
      const nominal = core.nominalLevelIndex(request.LEVUSR);
      const index = given('index') ? core.readNumber(text('index')) : null;
      const indexValue = index && index.status === 0 ? index.value : null;
      if (index && (indexValue === null || ![1, 2, 3, 4].includes(indexValue))) {
        errors.index = 'The level index is 1, 2, 3 or 4.';
      } else if (nominal !== 0) {
        if (indexValue !== null && indexValue !== nominal)
          errors.index = `${text('level')} dB is nominal level ${nominal}; leave the index empty.`;
        request.KLEV = nominal;
      } else if (indexValue === null) {
        errors.index = `${text('level')} dB is not one of 3, 6, 10, 20 dB: give the index (1 to 4) of the nominal level it derives from.`;
      } else {
        request.KLEV = indexValue;
      }
    }
  }

  let design = null;
  if (wantDesign)
    design = range('s', (v) => v >= 0, 'Phase deviations are 0 or more.');

  let horn = null;
  let response = null;
  if (wantResponse || wantPattern) {
    const aperture = number('aperture');
    const slant = number('slant');
    horn = { aperture, slant };
  }
  if (wantResponse)
    response = range('fresp', (v) => v > 0, 'Frequencies are greater than 0.');

  let pattern = null;
  if (horn) {
    let freq = null;
    if (wantPattern)
      freq = number('pfreq');
    else if (design)
      freq = request.FREQ;
    else if (response)
      freq = core.rowValue(1, response.start, response.step);
    const t = KELVOR_PATTERN_THETA;
    pattern = { freq, range: { start: t.start, step: t.step, first: 1,
                               last: core.rowCount(t.start, t.stop, t.step) } };
  }

  if (Object.keys(errors).length > 0)
    return { errors };
  return { errors: null, request, horn, design, response, pattern };
}

if (typeof module !== 'undefined')
  module.exports = { KELVOR_FIELDS, KELVOR_MAX_ROWS, kelvorPlan };
