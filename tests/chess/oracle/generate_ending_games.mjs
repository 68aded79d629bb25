// Writes random legal games played by chess.js that go on long, take back and forth and trade
// pieces, so that repetitions, fifty quiet moves, underpromotions, en-passant captures and every
// kind of end turn up; for the comparison of what a game holds and how it ends. One game a line:
//   <chess.js SAN of each move> ; <what it holds, space separated, or -> ; <how it ends>
// Holds: repetition (a position for the third time), fifty (a half-move clock of 100),
// underpromotion, enpassant. Ends: checkmate, stalemate, insufficient, normal.
// Usage: node generate_ending_games.mjs <output file> [games] [seed]
import { writeFileSync } from 'node:fs';
import { seededRandom } from './seeded_random.mjs';
import { createRequire } from 'node:module';

const require = createRequire(process.cwd() + '/');
const { Chess } = require('chess.js');

const [output, gameCount = '1000', seedText = '20261211'] = process.argv.slice(2);
if (!output) {
  console.error('usage: node generate_ending_games.mjs <output file> [games] [seed]');
  process.exit(2);
}

const { random, pick } = seededRandom(seedText);

// A move back where the side's last move came from, when it is legal and takes nothing.
function goingBack(game, last) {
  if (!last) return null;
  const back = game.moves({ square: last.to, verbose: true }).find((m) => m.to === last.from && !m.captured);
  return back ? back.san : null;
}

const lines = [];
const counts = { repetition: 0, fifty: 0, underpromotion: 0, enpassant: 0, checkmate: 0, stalemate: 0, insufficient: 0 };
for (let g = 0; g < Number(gameCount); ++g) {
  const game = new Chess();
  const sans = [];
  const holds = new Set();
  const lastOf = { w: null, b: null };
  const limit = 40 + Math.floor(random() * 360);
  const backing = random() * 0.5;
  while (sans.length < limit && !game.isInsufficientMaterial()) {
    // Plain SAN lists: chess.js builds two FEN texts for every verbose move.
    const legal = game.moves();
    if (!legal.length) break;
    const turn = game.turn();
    const captures = legal.filter((m) => m.includes('x'));
    const promotions = legal.filter((m) => m.includes('='));
    let san = random() < backing ? goingBack(game, lastOf[turn]) : null;
    if (!san && promotions.length && random() < 0.7) san = pick(promotions);
    if (!san && captures.length && random() < 0.4) san = pick(captures);
    if (!san) san = pick(legal);
    const move = game.move(san);
    lastOf[turn] = move;
    sans.push(move.san);
    if (move.flags.includes('e')) holds.add('enpassant');
    if (move.promotion && move.promotion !== 'q') holds.add('underpromotion');
    if (game.isThreefoldRepetition()) holds.add('repetition');
    if (Number(game.fen().split(' ')[4]) >= 100) holds.add('fifty');
  }
  const end = game.isCheckmate()
    ? 'checkmate'
    : game.isStalemate()
      ? 'stalemate'
      : game.isInsufficientMaterial()
        ? 'insufficient'
        : 'normal';
  for (const h of holds) counts[h]++;
  if (end !== 'normal') counts[end]++;
  lines.push(`${sans.join(' ')} ; ${[...holds].sort().join(' ') || '-'} ; ${end}`);
}
writeFileSync(output, lines.join('\n') + '\n');
console.log(`${lines.length} games written to ${output}: ${JSON.stringify(counts)}`);
