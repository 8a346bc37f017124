#include "frame/host/TorDisplay.h"
#include "settings/ZelSettings.h"

void ZelSettings::Display() const {
  TorDisplay_1_3::DisplayText("ZelSettings display start");
  TorDisplay_1_3::DisplayText("End of display ZelSettings object");
}
