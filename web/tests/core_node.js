// The page's core under node, for the tests: for each query on the command line
// one line of JSON, the plan's errors or the tables' records and every CSV; a
// query NAME(...) is a call of the core, e.g. countRows(0, 1, 0), and its value.
//   node core_node.js CORE_JS FORM_JS QUERY...
'use strict';

const [coreJs, formJs, ...queries] = process.argv.slice(2);
const { kelvorPlan } = require(formJs);

require(coreJs)().then((core) => {
  for (const query of queries) {
    if (/^\w+\(/.test(query)) {
      console.log(JSON.stringify(Function('core', `return core.${query}`)(core)));
      continue;
    }
    const plan = kelvorPlan(core, Object.fromEntries(new URLSearchParams(query)));
    if (plan.errors) {
      console.log(JSON.stringify({ errors: plan.errors }));
      continue;
    }
    const { request, horn, design, response, pattern } = plan;
    const out = { records: '', csv: {} };
    // The records are the dialogue's tables; the model-true table's are apart.
    const table = (name, heading, block) => {
      if (name === 'model')
        out.modelRecords = heading.records + block.records;
      else
        out.records += heading.records + block.records;
      out.csv[name] = heading.csv + block.csv;
    };
    if (design)
      table('design', core.designHeading(request), core.designBlock(request, design));
    if (design && core.modelDesignBlock)
      table('model', core.modelDesignHeading(request), core.modelDesignBlock(request, design));
    if (response)
      table('response', core.responseHeading(request, horn), core.responseBlock(request, horn, response));
    if (pattern) {
      const cut = core.pattern(request, horn, pattern.freq, pattern.range);
      out.csv.pattern = cut.csv;
      out.phaseFromCentre = Array.from(cut.phaseFromCentre);
      out.phaseCentre = cut.phaseCentre;
      out.refusal = core.dishRefusal(request, horn, pattern.freq);
      const f = { start: 0.4, step: 1, first: 1, last: 1 };  // one dish, f/D 0.4
      if (!out.refusal) {
        const curve = core.dishCurve(request, horn, pattern.freq, f);
        out.csv.dish = core.dishHeading(request, horn, pattern.freq) + curve.csv;
        out.dish = {};
        for (const k of ['fOverD', 'aperture', 'spillover', 'illumination', 'phase', 'feedPosition'])
          out.dish[k] = curve[k][0];
      }
    }
    console.log(JSON.stringify(out));
  }
});
