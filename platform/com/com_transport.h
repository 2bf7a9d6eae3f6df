// The COM transport: ProgID -> CLSIDFromProgID -> GetActiveObject -> IDispatch. Windows only.
#pragma once

namespace kelvo {

// Registers the transport with the automation surface; returns its token.
int registerComTransport();

}  // namespace kelvo
