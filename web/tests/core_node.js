// The page's core under node, for the comparison with the native build.
//   node core_node.js CORE_JS FORM_JS bits < grid   the bits of every grid line
//   node core_node.js CORE_JS FORM_JS tables QUERY  the design and response records
'use strict';
const fs = require('fs');

const [coreJs, formJs, mode, query] = process.argv.slice(2);
const { kelvorPlan } = require(formJs);

require(coreJs)().then((core) => {
  if (mode === 'bits') {
    for (const line of fs.readFileSync(0, 'utf8').split('\n'))
      if (line && !line.startsWith('#'))
        process.stdout.write(core.gridBits(line));
    return;
  }
  const plan = kelvorPlan(core, Object.fromEntries(new URLSearchParams(query)));
  if (plan.errors)
    throw new Error(JSON.stringify(plan.errors));
  const { request, horn, design, response } = plan;
  process.stdout.write(core.designHeading(request).records + core.designBlock(request, design).records);
  process.stdout.write(core.responseHeading(request, horn).records +
                       core.responseBlock(request, horn, response).records);
});
