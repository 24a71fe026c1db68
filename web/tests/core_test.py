"""The page's WebAssembly core against the native build, under node: the same
bits for every row of a fixed grid, and the README example's tables equal to
the native program's report records."""
import subprocess
import sys

import webtest

a = webtest.arguments()
webtest.require(["em++", "node"], a.page_dir)
here = a.source / "web" / "tests"
node = ["node", "--no-experimental-fetch", str(here / "core_node.js"),
        str(a.page_dir / "kelvor_core.js"), str(a.source / "web" / "page" / "form.js")]

grid = (here / "grid.txt").read_bytes()
native = subprocess.run([a.probe], input=grid, capture_output=True, check=True).stdout
wasm = subprocess.run(node + ["bits"], input=grid, capture_output=True, check=True).stdout
rows = native.count(b"\n")
if b"bad grid line" in native or rows < 10000:
    sys.exit(f"the grid gave {rows} rows, or a line the probe could not read")
for n, w in zip(native.splitlines() + [b"(end)"], wasm.splitlines() + [b"(end)"]):
    if n != w:
        sys.exit(f"WebAssembly and native rows differ; first difference:\n"
                 f"  native {n.decode()}\n  wasm   {w.decode()}")
print(f"{rows} rows: the same bits")

query = webtest.readme_query(a.source)
tables = subprocess.run(node + ["tables", query], capture_output=True, check=True, text=True)
# After the title and credit, the report is the design table, then the response.
for name, report in (("native report", webtest.native_report(a.source, a.kelvor)),
                     ("README's report", webtest.readme_report(a.source))):
    if tables.stdout.rstrip("\n").split("\n") != report[3:]:
        sys.exit(f"the README example's tables differ from the {name}:\n" + tables.stdout)
print(f"README example ({query}): both tables are the report's records")
