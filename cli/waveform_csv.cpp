#include "cli/waveform_csv.h"

#include "platform/number_text.h"
#include "waveform/samples.h"

namespace fbc {

void writeWaveformCsv(std::ostream& out, const DesignState& state) {
  out << "t,vsw,isw,vd,id\n";
  if (state.Lp == 0.0F) {
    return;
  }
  WaveformGenerator generator(state);
  WaveformSample s;
  while (generator.next(s)) {
    out << shortestRoundTrip(s.t) << ',' << shortestRoundTrip(s.vsw) << ','
        << shortestRoundTrip(s.isw) << ',' << shortestRoundTrip(s.vd) << ','
        << shortestRoundTrip(s.id) << '\n';
  }
}

}  // namespace fbc
