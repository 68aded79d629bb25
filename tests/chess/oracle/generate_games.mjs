// Writes random legal games played by chess.js, an independent implementation of the rules,
// for the SAN comparison test. One game a line:
//   <moves as e2e4 / e7e8q> ; <chess.js SAN of each move> ; <final FEN> ; <end state>
// Usage: node generate_games.mjs <output file> [games] [seed]
import { writeFileSync } from 'node:fs';
import { seededRandom } from './seeded_random.mjs';
import { createRequire } from 'node:module';

const require = createRequire(process.cwd() + '/');
const { Chess } = require('chess.js');

const [output, gameCount = '3000', seedText = '20261207'] = process.argv.slice(2);
if (!output) {
  console.error('usage: node generate_games.mjs <output file> [games] [seed]');
  process.exit(2);
}

const { random, pick } = seededRandom(seedText);

// Mostly random moves, but special ones (castling, promotions, checks, pawn captures, which
// include en passant) are preferred when available, so that every kind turns up many times.
// Plain SAN lists are used because chess.js builds two FEN texts for every verbose move.
function chooseMove(sans) {
  const special = sans.filter((s) => /[+#=O]/.test(s) || /^[a-h]x/.test(s));
  if (special.length && random() < 0.45) return pick(special);
  return pick(sans);
}

const lines = [];
const counts = { mate: 0, stalemate: 0, enPassant: 0, promotion: 0, castling: 0, check: 0, plies: 0 };
for (let g = 0; g < Number(gameCount); ++g) {
  const game = new Chess();
  const moves = [];
  const sans = [];
  const limit = 20 + Math.floor(random() * 180);
  for (let legal = game.moves(); legal.length && moves.length < limit; legal = game.moves()) {
    const move = game.move(chooseMove(legal));
    moves.push(move.from + move.to + (move.promotion || ''));
    sans.push(move.san);
    if (move.flags.includes('e')) counts.enPassant++;
    if (move.flags.includes('p')) counts.promotion++;
    if (/[kq]/.test(move.flags)) counts.castling++;
    if (move.san.includes('+')) counts.check++;
  }
  const state = game.isCheckmate() ? 'checkmate' : game.isStalemate() ? 'stalemate' : game.inCheck() ? 'check' : 'normal';
  if (state === 'checkmate') counts.mate++;
  if (state === 'stalemate') counts.stalemate++;
  counts.plies += moves.length;
  lines.push(`${moves.join(' ')} ; ${sans.join(' ')} ; ${game.fen()} ; ${state}`);
}
writeFileSync(output, lines.join('\n') + '\n');
console.log(`${lines.length} games written to ${output}: ${JSON.stringify(counts)}`);
