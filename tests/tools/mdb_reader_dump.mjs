// Prints every user table of an Access file as JSON, read by the independent mdb-reader.
import fs from "fs";
import path from "path";
import { fileURLToPath } from "url";

const here = path.dirname(fileURLToPath(import.meta.url));
const { default: MDBReader } = await import(path.join(here, "../oracle/node_modules/mdb-reader/lib/node/index.js"));
const reader = new MDBReader(fs.readFileSync(process.argv[2]));
const tables = {};
for (const name of reader.getTableNames()) {
  const table = reader.getTable(name);
  tables[name] = { rowCount: table.rowCount, rows: table.getData() };
}
process.stdout.write(JSON.stringify(tables));
