#include "app/widgets/DocumentSignals.h"

namespace pavonia {

DocumentSignals::DocumentSignals(ProjectDocument& document, QObject* parent) : QObject(parent), document_(document)
{
    document_.addObserver(this);
}

DocumentSignals::~DocumentSignals()
{
    document_.removeObserver(this);
}

} // namespace pavonia
