#pragma once
// The methods of the driver interface the component answers itself, without
// the device: the interface revision, the last error, the additional actions,
// and the methods the driver does not offer.

#include "operations/method_outcome.h"

namespace korvant {

MethodOutcome getInterfaceRevision(ComponentState&, const HostArgs&);
MethodOutcome getLastError(ComponentState&, const HostArgs&);
MethodOutcome getAdditionalActions(ComponentState&, const HostArgs&);
// Additional actions (none are offered): a false outcome, nothing read or
// written, the last error left as it was.
MethodOutcome notOffered(ComponentState&, const HostArgs&);
// What the driver cannot do (check copies, the cash drawer, the marking-code
// methods): the call succeeds with a false outcome and code 4, so that the
// cashier is told why instead of the client raising on a refused call.
MethodOutcome unsupported(ComponentState&, const HostArgs&);

} // namespace korvant
