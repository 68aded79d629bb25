#include "options/settings_file.h"

#include <algorithm>
#include <cstdint>
#include <system_error>

#include "io/bytefile.h"
#include "io/write_target.h"
#include "options/processing_options.h"

namespace {

void WriteOptions(bytefile& out, const TProcessingOptions& o) {
  out.writebool(o.removeComments);
  out.writebyte(uint8_t(o.tagRemoval));
  out.writebool(o.removeVariations);
  for (int i = 0; i < 32; ++i) {
    uint8_t bits = 0;
    for (int j = 0; j < 8; ++j)
      if (o.keptNags[size_t(8 * i + j)]) bits |= uint8_t(1 << j);
    out.writebyte(bits);
  }
  out.writebool(o.removeDuplicates);
  out.writebool(o.addEcoNames);
  out.writebool(o.removeOldEcoTags);
  out.writebyte(uint8_t(o.splitEcoLevel));
  out.writebool(o.splitByWhite);
  out.writebool(o.splitByBlack);
  out.writebool(o.splitByPlayer);
  out.writebyte(uint8_t(o.splitDateLevel));
  out.writebool(o.splitByTournament);
  out.writebyte(o.splitWhiteEloParts);
  out.writebyte(o.splitBlackEloParts);
  out.writebool(o.splitByResult);
  out.writebyte(o.resultMask & ResultAll);
  out.writeint(o.dateFrom);
  out.writeint(o.dateTo);
  out.writestr(o.whitePlayer);
  out.writestr(o.blackPlayer);
  out.writebool(o.ignorePlayerColour);
  out.writeint(o.whiteEloFrom);
  out.writeint(o.whiteEloTo);
  out.writeint(o.blackEloFrom);
  out.writeint(o.blackEloTo);
  out.writestr(o.ecoOpening);
  out.writeint(o.movesFrom);
  out.writeint(o.movesTo);
  out.writebool(o.doNotRewrite);
}

TProcessingOptions ReadOptions(bytefile& in) {
  TProcessingOptions o;
  o.removeComments = in.readbool();
  o.tagRemoval = TagRemoval(in.readbyte());
  o.removeVariations = in.readbool();
  for (int i = 0; i < 32; ++i) {
    const uint8_t bits = in.readbyte();
    for (int j = 0; j < 8; ++j) o.keptNags[size_t(8 * i + j)] = (bits >> j) & 1;
  }
  o.removeDuplicates = in.readbool();
  o.addEcoNames = in.readbool();
  o.removeOldEcoTags = in.readbool();
  o.splitEcoLevel = EcoSplit(in.readbyte());
  o.splitByWhite = in.readbool();
  o.splitByBlack = in.readbool();
  o.splitByPlayer = in.readbool();
  o.splitDateLevel = DateSplit(in.readbyte());
  o.splitByTournament = in.readbool();
  o.splitWhiteEloParts = in.readbyte();
  o.splitBlackEloParts = in.readbyte();
  o.splitByResult = in.readbool();
  o.resultMask = in.readbyte() & ResultAll;
  o.dateFrom = in.readint();
  o.dateTo = in.readint();
  o.whitePlayer = in.readstr();
  o.blackPlayer = in.readstr();
  o.ignorePlayerColour = in.readbool();
  o.whiteEloFrom = in.readint();
  o.whiteEloTo = in.readint();
  o.blackEloFrom = in.readint();
  o.blackEloTo = in.readint();
  o.ecoOpening = in.readstr();
  o.movesFrom = in.readint();
  o.movesTo = in.readint();
  o.doNotRewrite = in.readbool();
  return o;
}

}  // namespace

PanelRect FirstRunPlacement(int32_t width, int32_t height, const WorkArea& area) {
  return PanelRect{(area.left + area.right - width) / 2, (area.top + area.bottom - height) / 2, width, height};
}

PanelRect CorrectPlacement(PanelRect r, const WorkArea& area) {
  if (r.width < 600) r.width = 600;
  if (r.height < 450) r.height = 450;
  if (area.bottom - area.top < r.height) r.height = area.bottom - area.top;
  // In 64 bits: a damaged file may put any number here.
  if (int64_t(r.left) + 10 >= area.right) r.left = int32_t(std::max<int64_t>(int64_t(area.right) - r.width, INT32_MIN));
  if (r.left < 0) r.left = 0;
  if (int64_t(r.top) > int64_t(area.bottom) - 10)
    r.top = int32_t(std::max<int64_t>(int64_t(area.bottom) - r.height - 10, INT32_MIN));
  if (r.top < 0) r.top = 0;
  return r;
}

bool SaveSettings(const std::filesystem::path& file, SettingsWindow& window, const TJobChoices& choices) {
  // A link is followed to its file, which is replaced through a temporary file beside it; a
  // pipe or a device is written in place.
  const WriteTarget target = ResolveWriteTarget(file);
  if (!UnwritableReason(target.kind).empty()) return false;
  const bool inPlace = target.kind == TargetKind::Stream;
  const std::filesystem::path temporary = inPlace ? target.path : TemporaryBeside(target.path, ".new");
  {
    bytefile out(temporary, false);
    if (out.failed) return false;
    const PanelRect rect = window.PanelRectangle();
    out.writeint(rect.left);
    out.writeint(rect.top);
    out.writeint(rect.width);
    out.writeint(rect.height);
    out.writebool(window.PanelVisible());
    out.writewstr(choices.outputBase);
    out.writebool(choices.makeDefaultAutomatically);
    if (!choices.makeDefaultAutomatically) WriteOptions(out, choices.ProcessingOptions);
    if (!out.close()) {
      std::error_code ignored;
      if (!inPlace) std::filesystem::remove(temporary, ignored);
      return false;
    }
  }
  if (inPlace) return true;
  std::error_code error;
  std::filesystem::rename(temporary, target.path, error);
  if (error) std::filesystem::remove(temporary, error);
  return !error;
}

TSettings ReadSettings(const std::filesystem::path& file) {
  TSettings settings;
  bytefile in(file, true);
  if (in.failed) return settings;
  PanelRect& saved = settings.placement;
  saved.left = in.readint();
  saved.top = in.readint();
  saved.width = in.readint();
  saved.height = in.readint();
  settings.placementPresent = true;
  settings.visible = in.readbool();
  if (in.eof()) return settings;

  // A damaged path or mode is not applied: the defaults are safer than zeros.
  const std::u16string base = in.readwstr();
  const bool automatic = in.readbool();
  if (in.failed || in.readPastEnd) return settings;
  settings.outputPresent = true;
  settings.outputBase = base;
  settings.makeDefaultAutomatically = automatic;
  if (automatic) return settings;

  // Likewise a short or damaged option block: zeros would filter every game out and replace
  // existing output files, so the options keep their defaults unless the block is whole.
  TProcessingOptions loaded = ReadOptions(in);
  if (!in.failed && !in.readPastEnd) {
    NormaliseOptions(loaded);
    settings.options = loaded;
    settings.optionsPresent = true;
  }
  return settings;
}

bool LoadSettings(const std::filesystem::path& file, SettingsWindow& window, int32_t defaultWidth,
                  int32_t defaultHeight, TJobChoices& choices) {
  const TSettings settings = ReadSettings(file);
  const WorkArea area = window.DesktopWorkArea();
  if (!settings.placementPresent) {
    window.MovePanel(FirstRunPlacement(defaultWidth, defaultHeight, area));
    return false;
  }
  window.MovePanel(CorrectPlacement(settings.placement, area));
  if (settings.visible) window.ShowPanel();
  if (!settings.outputPresent) return false;
  choices.outputBase = settings.outputBase;
  window.ShowOutputBase(settings.outputBase);
  choices.makeDefaultAutomatically = settings.makeDefaultAutomatically;
  window.CheckMakeDefault(settings.makeDefaultAutomatically);
  if (settings.makeDefaultAutomatically) return false;
  if (settings.optionsPresent) choices.ProcessingOptions = settings.options;
  window.RefreshOptionControls();
  return settings.optionsPresent;
}
