#pragma once
// The methods the component answers without the device: interface revision,
// last error, description and settings, additional actions, and the methods
// the driver does not offer.

#include "addin/method_table.h"

namespace korvant {

MethodOutcome getInterfaceRevision(ComponentState&, const HostArgs&);
MethodOutcome getLastError(ComponentState&, const HostArgs&);
MethodOutcome getDescription(ComponentState&, const HostArgs&);
MethodOutcome getParameters(ComponentState&, const HostArgs&);
MethodOutcome setParameter(ComponentState&, const HostArgs&);
MethodOutcome getAdditionalActions(ComponentState&, const HostArgs&);
// Marking-code sessions, additional actions and check copies: a false outcome,
// nothing read or written, the last error left as it was.
MethodOutcome notOffered(ComponentState&, const HostArgs&);
MethodOutcome openCashDrawer(ComponentState&, const HostArgs&);

} // namespace korvant
