// Timer panel.
#include "render/timer.h"

namespace render {

void TimerPanel::drawTimerPanel() {
  platform::Runtime& rt = drawing_.runtime();
  drawing_.drawFrame(0, 2, 623, 562, 815, 634);
  drawing_.drawFrame(1, 2, 629, 584, 809, 628);
  drawing_.drawEmbossedText(kFontCaption, kBlack, 669, 581, "ZEITMESSUNG:");
  rt.setFillStyle(platform::FillStyle::Solid);
  rt.setPen(drawing_.palette(kBlack));
  rt.setFill(drawing_.palette(kWhite));
  rt.filledBox(629, 584, 808, 627);
}

}  // namespace render
