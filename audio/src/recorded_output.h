// The output while a run is recorded: no device and no thread of its own. It renders when
// the recording's clock moves, up to the frames that clock says are heard, waiting for the
// decoders where they have not got that far, so positions and spectra match the virtual
// time exactly however fast the machine is.
#pragma once

#include "output_device.h"

namespace quarvel::audio {

std::unique_ptr<OutputDevice> StartRecordedOutput(int rate, RenderFunction render, void* user);

}  // namespace quarvel::audio
