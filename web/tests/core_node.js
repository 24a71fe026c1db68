// The page's core under node, for the tests: for each query on the command line
// one line of JSON, the plan's errors or the tables' records and every CSV.
//   node core_node.js CORE_JS FORM_JS QUERY...
'use strict';

const [coreJs, formJs, ...queries] = process.argv.slice(2);
const { kelvorPlan } = require(formJs);

require(coreJs)().then((core) => {
  for (const query of queries) {
    const plan = kelvorPlan(core, Object.fromEntries(new URLSearchParams(query)));
    if (plan.errors) {
      console.log(JSON.stringify({ errors: plan.errors }));
      continue;
    }
    const { request, horn, design, response, pattern } = plan;
    const out = { records: '', csv: {} };
    // The records are the dialogue's tables; the model-true table has its CSV only.
    const table = (name, heading, block) => {
      out.records += name === 'model' ? '' : heading.records + block.records;
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
      out.refusal = core.dishRefusal(request, horn, pattern.freq);
      const f = { start: 0.4, step: 1, first: 1, last: 1 };  // one dish, f/D 0.4
      if (!out.refusal)
        out.csv.dish = core.dishHeading(request, horn, pattern.freq) + core.dishCurve(request, horn, pattern.freq, f).csv;
    }
    console.log(JSON.stringify(out));
  }
});
