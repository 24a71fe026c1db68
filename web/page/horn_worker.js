// The worker of the page's "Horn as built": its own core (modal/ and asbuilt/ in WebAssembly),
// so that the tables' worker loads no more than it needs. Runs after that core's script in the
// same blob; cancelling ends the worker.
'use strict';

const hornCore = KelvorHornCore();

// The horn as built: frequencies of the band analysed one at a time.
const HORN_FREQUENCIES = 41;

// A typed number through the core's reader, or the reason it is refused.
function hornNumber(core, text, name, errors) {
  const n = core.readNumber(String(text ?? ''));
  if (n.status !== 'ok')
    errors[name] = n.message;
  return n.value;
}

// The optimiser's counts as typed, else the program's defaults.
function hornOptimiseCounts(core, h, errors) {
  const defaults = core.hornOptimiseDefaults();
  const count = (text, name, fallback) => (String(text ?? '').trim()
    ? hornNumber(core, text, name, errors) : fallback);
  const counts = [count(h.optFreqs, 'optFreqs', defaults.frequencies),
                  count(h.optEvaluations, 'optEvaluations', defaults.maxEvaluations)];
  const refused = core.hornOptimiseCounts(...counts);
  for (const name of ['optFreqs', 'optEvaluations']) {
    if (refused[name] && !errors[name])
      errors[name] = refused[name];
  }
  return counts;
}

// Synthesis, the optimisation when asked (each evaluation reported), then the band one frequency
// at a time (progress between them), the cuts at the chosen frequency (the band's centre when
// none) and the cut file there, all of the horn as optimised.
function hornRun(core, h) {
  const errors = {};
  const ends = String(h.band ?? '').split(':');
  if (ends.length !== 2)
    errors.band = 'give the band as start:stop in GHz, for example 10.7:12.75';
  const [min, max] = ends.length === 2 ? ends.map((e) => hornNumber(core, e, 'band', errors)) : [];
  const aperture = hornNumber(core, h.aperture, 'aperture', errors);
  const slant = hornNumber(core, h.slant, 'slant', errors);
  const freq = h.freq ? hornNumber(core, h.freq, 'freq', errors) : (min + max) / 2;
  const [optFreqs, optEvaluations] = h.optimise ? hornOptimiseCounts(core, h, errors) : [];
  if (Object.keys(errors).length) {
    postMessage({ type: 'horn-invalid', errors });
    return;
  }
  const s = core.hornSynthesise(min, max, aperture, slant);
  if (s.failure) {
    postMessage({ type: 'horn-invalid', errors: { form: s.failure } });
    return;
  }
  postMessage({ type: 'horn-profile', ...s });
  let horn = s;
  if (h.optimise) {
    horn = core.hornOptimise(min, max, aperture, slant, optFreqs, optEvaluations,
                             (evaluation, now, best) => postMessage(
                               { type: 'horn-optimising', evaluation, total: optEvaluations, frequencies: optFreqs,
                                 now, best }));
    if (horn.failure) {
      postMessage({ type: 'horn-invalid', errors: { form: `no optimisation: ${horn.failure}` } });
      return;
    }
    postMessage({ type: 'horn-profile', ...horn, frequencies: optFreqs });
  }
  const freqs = core.hornFrequencies(min, max, HORN_FREQUENCIES);
  const s11 = [], xpol = [];
  freqs.forEach((f, i) => {
    postMessage({ type: 'horn-progress', done: i, total: freqs.length });
    const r = core.hornAnalyse(horn.sections, f);
    s11.push(r.s11Db);
    xpol.push(r.xpolDb);
  });
  postMessage({ type: 'horn-band', freqs, s11, xpol });
  const r = core.hornAnalyse(horn.sections, freq);
  postMessage({ type: 'horn-cuts', freq, failure: r.failure, cuts: r.cuts,
                cut: r.failure ? '' : core.hornCut(horn.sections, freq) });
}

// An exception in a promise's callback only rejects the promise, and the page would wait for
// ever: thrown again from a task of its own, it reaches the page's onerror as any uncaught one.
function rethrow(error) {
  setTimeout(() => { throw error; });
}

onmessage = (event) => hornCore.then((core) => hornRun(core, event.data)).catch(rethrow);
