#pragma once
// GetDescription, GetParameters and SetParameter: how the host describes the
// driver to its user and hands it the device settings.

#include "operations/method_outcome.h"

namespace korvant {

MethodOutcome getDescription(ComponentState&, const HostArgs&);
MethodOutcome getParameters(ComponentState&, const HostArgs&);
MethodOutcome setParameter(ComponentState&, const HostArgs&);

} // namespace korvant
