#pragma once
// Sound conversions the exporter and imports need: mixing down to mono and
// changing the sample rate (band-limited, so a lower rate does not alias).
#include "voice/PcmAudio.h"

namespace pavonia {

PcmAudio mixToMono(const PcmAudio& audio);
// `rate` must be positive; the same rate gives a copy.
PcmAudio resample(const PcmAudio& audio, int rate);

} // namespace pavonia
