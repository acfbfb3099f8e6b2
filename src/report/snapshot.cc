#include "report/snapshot.h"

int FleetExitStatus(const FleetSnapshot& fleet) {
  if (fleet.Failure != RunFailure::kNone) return 2;
  for (const ControllerSnapshot& c : fleet.Controllers) {
    if (!c.Complete) return 1;
  }
  return 0;
}
