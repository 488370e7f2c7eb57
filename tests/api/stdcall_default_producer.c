/* A 32-bit producer built with stdcall as its compiler's default convention (-mrtd), calling the
 * module through the public header alone. Unless the header pins the C calling convention, each
 * call leaves the stack off by its arguments' size and the program crashes or fails. Exits 0 when
 * every call answered as documented. */
#include <orvanecam/orvanecam.h>

enum { kWidth = 64, kHeight = 48 };
static uint8_t frame[kWidth * kHeight * 3 / 2];

/* A function of its own, without a frame pointer: its return depends on the stack pointer being
 * where the calls should have left it. */
__attribute__((noinline)) static int Round(int round) {
    if (SetOutputFormat(kWidth, kHeight, 1) != 0) return 2;
    if (SetOutputFormat(1, kHeight, 1) != 87) return 3;
    if (SendFrameNV12(frame, kWidth, kHeight, kWidth) != 0) return 4;
    if (SendFrameYUY2(frame, kWidth / 2, kHeight / 2, kWidth) != 0) return 5;
    SetMirrorEnabled(round & 1);
    SetFlipEnabled(round & 1);
    SetRotateRightDegree(round % 3);
    setVcamOn(1);
    return 0;
}

int main(void) {
    if (InitVcam() != 0) return 1;
    for (int round = 0; round < 100; ++round) {
        const int failed = Round(round);
        if (failed != 0) return failed;
    }
    return 0;
}
