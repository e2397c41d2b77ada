#pragma once

// Clears the upper halves of this thread's vector registers where the
// processor has them. Drawing code built for wider registers (Qt's raster
// fills and lines among it) may leave them in use; until they are cleared
// every older vector instruction on the thread waits on them, which makes
// a loop of exp 25 times slower on this program's test machine.
void clearUpperVectorRegisters();
