// Runs the map page's script in node with a stub document, then each line of
// a file of scripts as the browser would, and prints the page's state as JSON.
// usage: node carmarker_harness.js PAGE.html SCRIPTS.txt
"use strict";
const fs = require("fs");
const vm = require("vm");

const html = fs.readFileSync(process.argv[2], "utf8");
const scripts = fs.readFileSync(process.argv[3], "utf8").split("\n").filter((l) => l.length > 0);
const match = /<script>([\s\S]*?)<\/script>/.exec(html);
if (!match) { console.log(JSON.stringify({ error: "no script" })); process.exit(0); }

const drawn = [];
const context2d = new Proxy({}, {
  get: (target, name) => (name in target ? target[name] : (...args) => { drawn.push(String(name)); }),
  set: (target, name, value) => { target[name] = value; return true; },
});
const elements = {
  map: { width: 0, height: 0, clientWidth: 320, clientHeight: 240, getContext: () => context2d },
  pos: { textContent: "" },
};
const sandbox = {
  document: { getElementById: (id) => elements[id] || null },
  window: { innerWidth: 320, innerHeight: 240, addEventListener: () => {} },
  Math, Number, String, isFinite,
};
vm.createContext(sandbox);
vm.runInContext(match[1], sandbox);
const results = scripts.map((s) => {
  try { return vm.runInContext(s, sandbox); } catch (e) { return "threw " + e.message; }
});
const state = vm.runInContext("mapState", sandbox);
console.log(JSON.stringify({ results, track: state.track, text: elements.pos.textContent, drew: drawn.includes("fill") }));
