// Kelvo's side of the local automation protocol: connecting to "AutoCAD.Application" finds the
// drawing host running for this user. Calls are synchronous and wait as long as the host takes
// (a user picking a point); a host that is not running, or that goes away, fails the call as
// EOleSysError, never a hang.
#pragma once

namespace kelvo {

// Registers the local transport with the automation surface; returns its token.
int registerLocalTransport();

}  // namespace kelvo
