// The program's own notes on what its start-up costs, step by step, for the bench: taken only
// when VELMORA_PAINT_LOG names a file, and written to it once the window has first painted.
#pragma once

namespace velmora {

// Notes that `step` (a literal) has just ended. The first note also notes the wall time.
void NoteStartStep(const char* step);

// Notes the end of the window's first paint and appends every note to the file, once:
//   yyyy-mm-dd hh:mm:ss.mmm <TAB> step <TAB> name <TAB> ms since the first note (3 decimals)
// the time being that of the step's end, and then a "painted" line as the bench's yardsticks
// write it. Later calls do nothing.
void NoteFirstPaint();

}  // namespace velmora
