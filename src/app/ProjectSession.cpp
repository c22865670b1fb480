#include "app/ProjectSession.h"

namespace pavonia {

ProjectSession::ProjectSession(const Workplace& place, Ui& ui)
    : ui_(ui),
      registry_(place.registry()),
      document_(DocumentEnvironment{place.home(), place.scratchFolder(), ui, clock_, registry_, place.ownFolder(),
                                    place.area(), place.settingsFolder()}),
      operations_(document_),
      library_(place.home(), ui)
{
    operations_.createView();
}

} // namespace pavonia
