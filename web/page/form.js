// The request behind the page: the query-string fields, and the plan that the
// worker computes from them. Every typed number is read by the core
// (core.readNumber: the dialogue's own list-directed reading, decimal text to
// the nearest float), never by JavaScript. Loaded by the worker and by the
// tests under node.
'use strict';

// The fields in the order of the dialogue's questions, each a query parameter;
// `cut` (90 or 180) is how far off the axis the pattern goes.
const KELVOR_FIELDS = ['unit', 'freq', 'beamwidth', 'level', 'index', 's',
                       'aperture', 'slant', 'fresp', 'pfreq', 'cut'];
// The pattern cut: from the axis by a quarter degree, to 90 degrees or on request to 180.
const KELVOR_PATTERN_STEP = 0.25;

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
    if (n.status !== 'ok') {
      errors[name] = n.message;
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
      if (n.status !== 'ok') {
        errors[name] = `${n.message} (${part.trim() || 'empty'})`;
        return null;
      }
      values.push(n.value);
    }
    const [start, stop, step] = values;
    const count = core.countRows(start, stop, step);
    if (count.status !== 'ok') {
      errors[name] = count.message;
      return null;
    }
    const rows = count.rows;
    const first = core.rowValue(1, start, step);
    const last = core.rowValue(rows, start, step);
    if (!allowed(Math.min(first, last))) {
      errors[name] = message;
      return null;
    }
    return { start, step, first: 1, last: rows };
  }

  // A link without a unit means inches; a unit the core does not know is refused.
  const request = { IUNIT: core.unitCode(params.unit == null ? 'in' : text('unit')),
                    FREQ: 0, BWUSR: 0, LEVUSR: 0, KLEV: 0 };
  if (request.IUNIT === 0)
    errors.unit = core.unitMessage();
  const cut = given('cut') ? text('cut') : '90';
  if (cut !== '90' && cut !== '180')
    errors.cut = 'The cut ends at 90 or 180 degrees.';

  // Nothing asked for reads as a design request with every field empty, so
  // that its fields are marked.
  const asked = ['freq', 'beamwidth', 's', 'fresp', 'pfreq', 'aperture', 'slant'].some(given);
  const wantDesign = !asked || ['freq', 'beamwidth', 's'].some(given);
  // The pattern is drawn for the horn at the pattern frequency, or else at the
  // design frequency, or else at the first frequency of the response. A horn
  // with a pattern frequency alone asks for no response table.
  const wantPattern = given('pfreq');
  const wantResponse = given('fresp') || (!wantPattern && ['aperture', 'slant'].some(given));
  if (!asked)
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
      const levels = core.nominalLevels();
      const indices = levels.map((_, i) => i + 1);
      const index = given('index') ? core.readNumber(text('index')) : null;
      const indexValue = index && index.status === 'ok' ? index.value : null;
      if (index && (indexValue === null || !indices.includes(indexValue))) {
        errors.index = `The level index is one of ${indices.join(', ')}.`;
      } else if (nominal !== 0) {
        if (indexValue !== null && indexValue !== nominal)
          errors.index = `${text('level')} dB is nominal level ${nominal}; leave the index empty.`;
        request.KLEV = nominal;
      } else if (indexValue === null) {
        errors.index = `${text('level')} dB is not one of ${levels.join(', ')} dB: give the index ` +
                       `(1 to ${levels.length}) of the nominal level it derives from.`;
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
    const step = KELVOR_PATTERN_STEP;
    pattern = { freq, range: { start: 0, step, first: 1,
                               last: core.rowCount(0, Number(cut), step) } };
  }

  if (Object.keys(errors).length > 0)
    return { errors };
  return { errors: null, request, horn, design, response, pattern };
}

if (typeof module !== 'undefined')
  module.exports = { KELVOR_FIELDS, kelvorPlan };
