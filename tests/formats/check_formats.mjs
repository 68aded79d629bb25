// Replays what pgnutil wrote in its formats with chess.js, an implementation of the rules of
// its own, and compares: every game of the JSON Lines file (its UCI moves from its start
// position reach its final FEN), the UCI and LAN lines (the same moves), and the FEN lines
// (each one chess.js accepts, the last of each game the final FEN).
//   node check_formats.mjs ORACLE_DIR GAMES.jsonl UCI.txt LAN.txt POSITIONS.fen
import { createRequire } from 'node:module';
import { readFileSync } from 'node:fs';
import path from 'node:path';

const [oracleDir, jsonFile, uciFile, lanFile, fenFile] = process.argv.slice(2);
const require = createRequire(path.join(path.resolve(oracleDir), 'package.json'));
const { Chess, validateFen } = require('chess.js');

const lines = (file) => readFileSync(file, 'utf8').split('\n').filter((l, i, all) => i < all.length - 1 || l !== '');
const games = lines(jsonFile).map((line) => JSON.parse(line));
const uciLines = lines(uciFile);
const lanLines = lines(lanFile);
let failures = 0;
const fail = (text) => {
  if (++failures <= 20) console.log(text);
};

// chess.js names an en-passant square only when a capture there is legal; pgnutil when a pawn
// stands ready beside it (as X-FEN does). The other five fields must be equal, and a square
// chess.js names must be pgnutil's.
const sameFen = (ours, theirs) => {
  const a = ours.split(' '), b = theirs.split(' ');
  for (const k of [0, 1, 2, 4, 5]) if (a[k] !== b[k]) return false;
  return b[3] === '-' || a[3] === b[3];
};

const lanToMove = (lan) => {
  const m = /^([NBRQK]?)([a-h][1-8])[-x]([a-h][1-8])(?:=([NBRQ]))?([+#]?)$/.exec(lan);
  if (!m) return null;
  return { piece: m[1] ? m[1].toLowerCase() : 'p', from: m[2], to: m[3], promotion: m[4] ? m[4].toLowerCase() : undefined, mark: m[5] };
};

let replayed = 0, skipped = 0;
if (uciLines.length !== games.length || lanLines.length !== games.length) {
  fail(`lines: ${games.length} games, ${uciLines.length} UCI lines, ${lanLines.length} LAN lines`);
}
const finalFens = new Map();
const chess960 = new Set();  // chess.js plays standard chess alone
games.forEach((game, g) => {
  finalFens.set(game.number, game.final_fen);
  const variant = (game.tags.Variant || '').toLowerCase();
  if (variant.includes('960') || variant.includes('fischer')) chess960.add(game.number);
  if (chess960.has(game.number) || game.uci.includes('0000')) {
    skipped++;
    return;
  }
  if (game.san.length !== game.uci.length || game.plies !== game.uci.length) fail(`game ${game.number}: arrays of different lengths`);
  const uciLine = (uciLines[g] || '').replace(/^fen .* moves ?/, '');
  if (uciLine !== game.uci.join(' ')) fail(`game ${game.number}: UCI line differs from the JSON's moves`);
  const chess = new Chess(game.fen || undefined);
  const lan = (lanLines[g] || '').replace(/^fen .* moves ?/, '').split(' ').filter((t) => t);
  for (let i = 0; i < game.uci.length; i++) {
    const u = game.uci[i];
    let played;
    try {
      played = chess.move({ from: u.slice(0, 2), to: u.slice(2, 4), promotion: u[4] });
    } catch (e) {
      fail(`game ${game.number} ply ${i + 1}: chess.js refuses ${u}`);
      return;
    }
    if (played.san !== game.san[i]) fail(`game ${game.number} ply ${i + 1}: SAN ${game.san[i]}, chess.js ${played.san}`);
    const l = lan[i];
    if (/^O-O/.test(l || '')) {
      if (!played.san.startsWith('O-O') || played.san !== l) fail(`game ${game.number} ply ${i + 1}: LAN ${l} for ${played.san}`);
    } else {
      const m = l && lanToMove(l);
      const mark = chess.isCheckmate() ? '#' : chess.inCheck() ? '+' : '';
      if (!m || m.from !== played.from || m.to !== played.to || m.piece !== played.piece || m.promotion !== played.promotion || m.mark !== mark)
        fail(`game ${game.number} ply ${i + 1}: LAN ${l} for ${played.from}${played.to} (${played.san})`);
    }
  }
  if (!sameFen(game.final_fen, chess.fen())) fail(`game ${game.number}: final FEN ${game.final_fen}, chess.js ${chess.fen()}`);
  replayed++;
});

// Positions: each accepted, the last of each game its final FEN.
let positions = 0;
const lastOf = new Map();
for (const line of lines(fenFile)) {
  const [fen, number] = line.split('\t');
  lastOf.set(Number(number), fen);
  if (chess960.has(Number(number))) continue;
  positions++;
  const verdict = validateFen(fen);
  if (!verdict.ok) fail(`position of game ${number}: chess.js refuses ${fen}: ${verdict.error}`);
}
for (const [number, fen] of lastOf) if (finalFens.get(number) !== fen) fail(`game ${number}: last position ${fen}, final FEN ${finalFens.get(number)}`);

console.log(`${replayed} games replayed (${skipped} Chess960 or with null moves passed over), ${positions} positions checked, ${failures} faults`);
process.exit(failures ? 1 : 0);
