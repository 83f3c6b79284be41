// Writes a project file of many channels for the editor's browser benchmark: NODES nodes of
// equal share, each with objects of 50 channels, every channel with a code and a comment.
// Usage: node bench/gen_project.mjs OUT.json [CHANNELS=20000] [NODES=10]
import { writeFileSync } from 'node:fs';

const KINDS = ['TEMP', 'PRESS', 'FLOW', 'LEVEL', 'PUMP', 'VALVE'];

// Returns the project as an object: CHANNELS channels over NODES nodes.
export function make_project(channels = 20000, nodes = 10) {
  const per_node = Math.ceil(channels / nodes);
  const list = [];
  for (let n = 0; n < nodes; n++) {
    const count = Math.min(per_node, channels - n * per_node);
    const chans = Array.from({ length: count }, (_, i) => ({
      number: i, name: `${KINDS[i % KINDS.length]}_${n}_${i}`, code: `${KINDS[i % KINDS.length][0]}T-${n}${String(i).padStart(5, '0')}`,
      comment: `Unit ${Math.floor(i / 50)} ${KINDS[i % KINDS.length].toLowerCase()} sensor ${i % 50}`, unit: '', kind: 0 }));
    const objects = Array.from({ length: Math.ceil(count / 50) }, (_, o) => ({
      number: o + 1, name: `UNIT_${o}`, channels: chans.slice(o * 50, o * 50 + 50).map(c => c.number) }));
    list.push({ name: `STATION_${n}`, host: `station-${n}`, channels: chans, objects });
  }
  return { attributes: [{ code: 1, name: 'HI' }, { code: 2, name: 'LO' }], nodes: list };
}

if (import.meta.url === `file://${process.argv[1]}`) {
  const [out, channels = '20000', nodes = '10'] = process.argv.slice(2);
  if (!out) { console.error('usage: node bench/gen_project.mjs OUT.json [CHANNELS] [NODES]'); process.exit(2); }
  writeFileSync(out, JSON.stringify(make_project(Number(channels), Number(nodes))));
}
