// Writes random legal Chess960 games played by chessops, an independent implementation of the
// rules, for the Chess960 comparison test. One game a line:
//   <start FEN, Shredder castling> ; <moves, castling as king onto rook: b1a1> ; <chessops SAN> ;
//   <final placement> ; <end state>
// Usage: node generate_960_games.mjs <output file> [games] [seed]
import { writeFileSync } from 'node:fs';
import { seededRandom } from './seeded_random.mjs';
import { pathToFileURL } from 'node:url';

// chessops is installed beside the working folder the script runs in.
const load = (name) => import(pathToFileURL(`${process.cwd()}/node_modules/chessops/dist/esm/${name}.js`).href);
const { parseFen, makeBoardFen } = await load('fen');
const { Chess } = await load('chess');
const { makeSan } = await load('san');
const { makeSquare } = await load('util');

const [output, gameCount = '400', seedText = '20261208'] = process.argv.slice(2);
if (!output) {
  console.error('usage: node generate_960_games.mjs <output file> [games] [seed]');
  process.exit(2);
}

const { random, pick } = seededRandom(seedText);

// A Chess960 back rank: bishops on squares of both colours, the king between the rooks.
function backRank() {
  const rank = Array(8).fill(null);
  const free = () => rank.map((p, i) => (p ? -1 : i)).filter((i) => i >= 0);
  rank[2 * Math.floor(random() * 4)] = 'b';
  rank[2 * Math.floor(random() * 4) + 1] = 'b';
  rank[pick(free())] = 'q';
  rank[pick(free())] = 'n';
  rank[pick(free())] = 'n';
  const [a, k, c] = free();
  rank[a] = 'r';
  rank[k] = 'k';
  rank[c] = 'r';
  return rank.join('');
}

const lines = [];
const counts = { castling: 0, castlingInPlace: 0, mate: 0, plies: 0 };
for (let g = 0; g < Number(gameCount); ++g) {
  const black = backRank();
  const fen = `${black}/pppppppp/8/8/8/8/PPPPPPPP/${black.toUpperCase()} w KQkq - 0 1`;
  const pos = Chess.fromSetup(parseFen(fen).unwrap()).unwrap();
  // Every other game names its castling rooks by their files (Shredder-FEN), the others by KQkq.
  const files = [...black].map((p, i) => (p === 'r' ? 'abcdefgh'[i] : '')).join('');
  const rights = g % 2 ? `${files[1].toUpperCase()}${files[0].toUpperCase()}${files[1]}${files[0]}` : 'KQkq';
  const start = fen.replace('KQkq', rights);
  const moves = [];
  const sans = [];
  const limit = 20 + Math.floor(random() * 160);
  while (moves.length < limit && !pos.isEnd()) {
    const all = [];
    for (const [from, dests] of pos.allDests()) for (const to of dests) all.push({ from, to });
    // Castling is preferred when it is there, so that every form of it turns up many times.
    const castlings = all.filter((m) => pos.board.get(m.to)?.role === 'rook' && pos.board.get(m.to)?.color === pos.turn);
    let move = castlings.length && random() < 0.6 ? pick(castlings) : pick(all);
    const piece = pos.board.get(move.from);
    if (piece.role === 'pawn' && (move.to >> 3 === 0 || move.to >> 3 === 7)) move = { ...move, promotion: pick(['queen', 'rook', 'bishop', 'knight']) };
    const san = makeSan(pos, move);
    if (san.startsWith('O-O')) {
      counts.castling++;
      if ((move.from & 7) === (san === 'O-O' ? 6 : 2)) counts.castlingInPlace++;
    }
    moves.push(makeSquare(move.from) + makeSquare(move.to) + (move.promotion ? move.promotion[0].replace('k', 'n') : ''));
    sans.push(san);
    pos.play(move);
  }
  const state = pos.isCheckmate() ? 'checkmate' : pos.isStalemate() ? 'stalemate' : pos.isCheck() ? 'check' : 'normal';
  if (state === 'checkmate') counts.mate++;
  counts.plies += moves.length;
  lines.push(`${start} ; ${moves.join(' ')} ; ${sans.join(' ')} ; ${makeBoardFen(pos.board)} ; ${state}`);
}
writeFileSync(output, lines.join('\n') + '\n');
console.log(`${lines.length} games written to ${output}: ${JSON.stringify(counts)}`);
