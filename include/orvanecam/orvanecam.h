/* OrvaneCam producer API: push frames into the virtual camera from any application.
 *
 * Every function returns a Win32 error code (0 on success) and leaves the same value as the
 * calling thread's last error. Calls may come from any thread; no call needs InitVcam first.
 *
 * Every function uses the C calling convention (__cdecl), in the 32-bit DLL too, whatever
 * default a caller's compiler is set to; the exports carry their plain names.
 *
 * Several cameras. The functions without a camera number address camera 1, the camera every
 * earlier producer knows. Each has a twin named with "ForCamera" appended that takes the camera
 * number (1..16) first and otherwise behaves the same, with the same codes; it returns 87 and
 * changes nothing for a number outside 1..16 or a camera 2..16 that is not registered
 * (regsvr32 /i:"cameras=N"). The twins of the functions without a result return their code. */
#ifndef ORVANECAM_ORVANECAM_H
#define ORVANECAM_ORVANECAM_H

#include <stdint.h>

#ifdef _WIN32
#include <wchar.h>
#define ORVANECAM_API
#define ORVANECAM_CALL __cdecl
typedef wchar_t OrvaneCamChar16; /* UTF-16 text */
#else
#if !defined(__cplusplus)
#include <uchar.h>
#endif
#define ORVANECAM_API __attribute__((visibility("default")))
#define ORVANECAM_CALL
typedef char16_t OrvaneCamChar16; /* UTF-16 text */
#endif

#ifdef __cplusplus
extern "C" {
#endif

/* Opens (or creates) the camera's shared frame block; 0 when the exchange is ready, otherwise the
 * system's reason: 8 when the process has no room left for the block's 96 MiB view (a 32-bit
 * process whose address space is fragmented; later calls try again). */
ORVANECAM_API uint32_t ORVANECAM_CALL InitVcam(void);
ORVANECAM_API uint32_t ORVANECAM_CALL InitVcamForCamera(int32_t camera);

/* Sets the camera's output size (1..4096 each, made even; 1 is refused) and whether NV12 (non-zero)
 * or YUY2 (0) is offered first. Returns 0, or 87 for a bad size. */
ORVANECAM_API uint32_t ORVANECAM_CALL SetOutputFormat(int32_t width, int32_t height,
                                                      int32_t nv12First);
ORVANECAM_API uint32_t ORVANECAM_CALL SetOutputFormatForCamera(int32_t camera, int32_t width,
                                                               int32_t height, int32_t nv12First);

/* Sets the rate the camera offers its formats at, 1..120 frames a second (30 until set); clients
 * may still ask for any rate in that range. Returns 0, or 87 outside the range. */
ORVANECAM_API uint32_t ORVANECAM_CALL SetOutputFrameRate(int32_t fps);
ORVANECAM_API uint32_t ORVANECAM_CALL SetOutputFrameRateForCamera(int32_t camera, int32_t fps);

/* Scales an NV12 frame (even size up to 4096 x 4096, Y rows then UV rows, both stride bytes
 * apart) to the output size and shows it. Returns 0, 87 for bad arguments, 13 when the frame
 * cannot be converted, 110 or 29 when the exchange fails. */
ORVANECAM_API uint32_t ORVANECAM_CALL SendFrameNV12(const uint8_t* data, int32_t width,
                                                    int32_t height, int32_t stride);
ORVANECAM_API uint32_t ORVANECAM_CALL SendFrameNV12ForCamera(int32_t camera, const uint8_t* data,
                                                             int32_t width, int32_t height,
                                                             int32_t stride);

/* As SendFrameNV12 for a packed YUY2 frame (Y0 U Y1 V; stride at least 2 x width). */
ORVANECAM_API uint32_t ORVANECAM_CALL SendFrameYUY2(const uint8_t* data, int32_t width,
                                                    int32_t height, int32_t stride);
ORVANECAM_API uint32_t ORVANECAM_CALL SendFrameYUY2ForCamera(int32_t camera, const uint8_t* data,
                                                             int32_t width, int32_t height,
                                                             int32_t stride);

/* As SendFrameNV12 for an RGB frame of 32 bits a pixel, bytes B, G, R, A in memory (alpha is
 * ignored; stride at least 4 x width), rows top-down, or bottom-up when height is negative (as
 * Windows DIBs are). Converted with the BT.601 limited-range matrix (Y 16..235), as everywhere
 * else in the camera. */
ORVANECAM_API uint32_t ORVANECAM_CALL SendFrameBGRA(const uint8_t* data, int32_t width,
                                                    int32_t height, int32_t stride);
ORVANECAM_API uint32_t ORVANECAM_CALL SendFrameBGRAForCamera(int32_t camera, const uint8_t* data,
                                                             int32_t width, int32_t height,
                                                             int32_t stride);

/* As SendFrameBGRA for 24 bits a pixel, bytes B, G, R (OpenCV's order; stride at least
 * 3 x width). */
ORVANECAM_API uint32_t ORVANECAM_CALL SendFrameBGR24(const uint8_t* data, int32_t width,
                                                     int32_t height, int32_t stride);
ORVANECAM_API uint32_t ORVANECAM_CALL SendFrameBGR24ForCamera(int32_t camera, const uint8_t* data,
                                                              int32_t width, int32_t height,
                                                              int32_t stride);

/* The formats SendFrame takes (every one BT.601 limited range once in the camera):
 *   NV12   Y rows, then interleaved U V rows, both stride bytes apart
 *   YUY2   Y0 U Y1 V;  UYVY  U Y0 V Y1  (stride at least 2 x width)
 *   BGRA   bytes B, G, R, A;  RGBA  bytes R, G, B, A  (alpha ignored; stride at least 4 x width)
 *   BGR24  bytes B, G, R (OpenCV's order);  RGB24  bytes R, G, B  (stride at least 3 x width)
 *   I420   Y rows stride bytes apart, then U rows and V rows stride / 2 apart (an even stride)
 *   GRAY8  one byte of grey a pixel, 0 black to 255 white (stride at least width)
 * The RGB formats are bottom-up when the height is negative. */
enum OrvaneCamFrameFormat {
    ORVANECAM_FORMAT_NV12 = 1,
    ORVANECAM_FORMAT_YUY2 = 2,
    ORVANECAM_FORMAT_BGRA = 3,
    ORVANECAM_FORMAT_BGR24 = 4,
    ORVANECAM_FORMAT_RGB24 = 5,
    ORVANECAM_FORMAT_RGBA = 6,
    ORVANECAM_FORMAT_I420 = 7,
    ORVANECAM_FORMAT_UYVY = 8,
    ORVANECAM_FORMAT_GRAY8 = 9
};

/* Shows a frame of any format above (an OrvaneCamFrameFormat value), as SendFrameNV12 does:
 * even sides up to 4096, scaled to the output size. Returns 0, 87 for an unknown format or bad
 * arguments, 13 when the frame cannot be converted, 110 or 29 when the exchange fails. */
ORVANECAM_API uint32_t ORVANECAM_CALL SendFrame(int32_t format, const uint8_t* data, int32_t width,
                                                int32_t height, int32_t stride);
ORVANECAM_API uint32_t ORVANECAM_CALL SendFrameForCamera(int32_t camera, int32_t format,
                                                         const uint8_t* data, int32_t width,
                                                         int32_t height, int32_t stride);

/* The sample types SendAudio takes, interleaved (channel 1, channel 2, ... for each frame). */
enum OrvaneCamSampleType { ORVANECAM_SAMPLES_INT16 = 1, ORVANECAM_SAMPLES_FLOAT32 = 2 };

/* Sends sound to the camera's microphone: frames frames of channels (1..8) interleaved samples
 * of type (an OrvaneCamSampleType value) at rate (8,000..192,000 Hz), converted to the
 * microphone's 48,000 Hz stereo 16-bit. One producer's sound at a time: 170 while another
 * producer's is being written (one that ended, or sent nothing for a second, gives way).
 * Returns 0, 87 for bad arguments, 110 when the camera's sound cannot be opened, 8 or 13 when
 * it cannot be converted. */
ORVANECAM_API uint32_t ORVANECAM_CALL SendAudio(const void* samples, int32_t frames,
                                                int32_t channels, int32_t rate, int32_t type);
ORVANECAM_API uint32_t ORVANECAM_CALL SendAudioForCamera(int32_t camera, const void* samples,
                                                         int32_t frames, int32_t channels,
                                                         int32_t rate, int32_t type);

/* Where the sound of this process's plays (getMultiMediaToCamera, live feeds) of the camera goes:
 * ORVANECAM_SOUND_SPEAKERS (the default audio device as before, or the one SetAudioOutput names),
 * ORVANECAM_SOUND_MICROPHONE (the camera's microphone only; no audio device is opened) or
 * ORVANECAM_SOUND_BOTH. Applies to plays started afterwards. Returns 0, or 87 for another value. */
enum OrvaneCamSoundRoute {
    ORVANECAM_SOUND_SPEAKERS = 1,
    ORVANECAM_SOUND_MICROPHONE = 2,
    ORVANECAM_SOUND_BOTH = 3
};
ORVANECAM_API uint32_t ORVANECAM_CALL SetAudioRoute(int32_t route);
ORVANECAM_API uint32_t ORVANECAM_CALL SetAudioRouteForCamera(int32_t camera, int32_t route);

/* The audio output the "speakers" of the camera's plays are: name as the system lists output
 * devices (on Windows a playback device's name, of which the system keeps the first 31
 * characters, e.g. a virtual audio cable's input; elsewhere a sound server sink's name), or null
 * or "" for the default device. Applies to plays started afterwards. Returns 0, 87 for a name
 * longer than 256 characters, 1168 when no output device has the name now (the choice is then
 * unchanged). */
ORVANECAM_API uint32_t ORVANECAM_CALL SetAudioOutput(const OrvaneCamChar16* name);
ORVANECAM_API uint32_t ORVANECAM_CALL SetAudioOutputForCamera(int32_t camera,
                                                              const OrvaneCamChar16* name);

/* The picture settings, read by every capture client at its next sample. Each sets the thread's
 * last error: 0, 110 when the exchange cannot be opened, 29 when the change cannot be announced.
 * Mirror left-right / flip top-bottom (non-zero = on). */
ORVANECAM_API void ORVANECAM_CALL SetMirrorEnabled(int32_t enabled);
ORVANECAM_API void ORVANECAM_CALL SetFlipEnabled(int32_t enabled);
ORVANECAM_API uint32_t ORVANECAM_CALL SetMirrorEnabledForCamera(int32_t camera, int32_t enabled);
ORVANECAM_API uint32_t ORVANECAM_CALL SetFlipEnabledForCamera(int32_t camera, int32_t enabled);
/* 0 shows the vacant picture instead of the live frames; non-zero shows the live frames again. */
ORVANECAM_API void ORVANECAM_CALL setVcamOn(int32_t on);
ORVANECAM_API uint32_t ORVANECAM_CALL setVcamOnForCamera(int32_t camera, int32_t on);
/* Turns the picture further clockwise: step 0 by 90, 1 by 180, 2 by 270 degrees (87 otherwise). */
ORVANECAM_API void ORVANECAM_CALL SetRotateRightDegree(int32_t step);
ORVANECAM_API uint32_t ORVANECAM_CALL SetRotateRightDegreeForCamera(int32_t camera, int32_t step);

/* Renames the device capture clients list (control characters and "*\/:<>?\| dropped, outer
 * spaces trimmed, cut to 64 units). Returns 0, 87 for a name left empty, 5 when the user setting
 * cannot be stored, 21 when a registered class key cannot be rewritten. */
ORVANECAM_API uint32_t ORVANECAM_CALL SetFriendlyName(const OrvaneCamChar16* name);
ORVANECAM_API uint32_t ORVANECAM_CALL SetFriendlyNameForCamera(int32_t camera,
                                                               const OrvaneCamChar16* name);

/* The name capture clients list the camera under (the one set, else "OrvaneCam", "OrvaneCam 2",
 * ...), into buffer with its terminator; units is the buffer's size in UTF-16 units (65 always
 * do). Returns 0, 87 for no buffer, 122 when it is too small. With the camera twin, a producer
 * finds a camera by name. */
ORVANECAM_API uint32_t ORVANECAM_CALL GetFriendlyName(OrvaneCamChar16* buffer, int32_t units);
ORVANECAM_API uint32_t ORVANECAM_CALL GetFriendlyNameForCamera(int32_t camera,
                                                               OrvaneCamChar16* buffer,
                                                               int32_t units);

/* Shows a 24- or 32-bit .bmp file (a relative path is taken from the producer executable's
 * folder) whenever nothing live is sent. Returns 0, 87 for no path, 161 for an unresolvable one,
 * 2 for a missing file, 13 for an unusable bitmap, 5 when the registry refuses the path, 110 when
 * the exchange cannot be opened. */
ORVANECAM_API uint32_t ORVANECAM_CALL SetVacantImg(const OrvaneCamChar16* path);
ORVANECAM_API uint32_t ORVANECAM_CALL SetVacantImgForCamera(int32_t camera,
                                                            const OrvaneCamChar16* path);

/* Plays a media file through the camera: every video frame at its time (at the video's size, in
 * the camera's preferred format), its sound on the default audio device. Returns when the file has
 * played: 0, 87 / 161 / 2 for the path, 1630 without video or a decoder, 13 for an unusable size
 * or data, 110 when the file or the audio device cannot be opened, or the failing step's code.
 *
 * A text with a scheme is a live source instead: rtsp://, rtmp://, http://, https://, udp://,
 * tcp://, srt:// (where this build has the protocol) or pipe: (pipe:0 is standard input). Each
 * frame is shown as soon as it is decoded (stale ones dropped, so the delay never grows), at the
 * stream's size, following a change of size; its sound, if the default audio device opens, plays
 * with at most 0.1 s queued (later sound is dropped); a source that drops or stalls for 3 s is
 * reopened, waiting 0.25 s and doubling to 4 s, while the camera shows its vacant picture.
 * Credentials in the URL appear in no log line. Returns 0 when a pipe ends, 1223 when stopped
 * (within 100 ms, connecting or not); before the source was first reached: 161 for a malformed
 * URL, 50 for a scheme this build cannot read, and within 5 s 1460 (no answer), 1225 (refused),
 * 1232 (unreachable) or the demultiplexer's failure. */
ORVANECAM_API uint32_t ORVANECAM_CALL getMultiMediaToCamera(const OrvaneCamChar16* path);
ORVANECAM_API uint32_t ORVANECAM_CALL getMultiMediaToCameraForCamera(int32_t camera,
                                                                     const OrvaneCamChar16* path);

/* Shows an image file (each picture of an animated one at its time) through the camera, at the
 * picture's size; codes as getMultiMediaToCamera, and 13 for a file without a picture. */
ORVANECAM_API uint32_t ORVANECAM_CALL getImageToCamera(const OrvaneCamChar16* path);
ORVANECAM_API uint32_t ORVANECAM_CALL getImageToCameraForCamera(int32_t camera,
                                                                const OrvaneCamChar16* path);

/* Stops every getMultiMediaToCamera and getImageToCamera running in this process, on any camera
 * and in any thread: each returns within 100 ms with 1223 (ERROR_CANCELLED), its sound stopped.
 * Returns 0, also when nothing plays (then it does nothing); a play started after this call is
 * not affected. */
ORVANECAM_API uint32_t ORVANECAM_CALL StopMediaToCamera(void);
/* Stops the plays of one camera only. */
ORVANECAM_API uint32_t ORVANECAM_CALL StopMediaToCameraForCamera(int32_t camera);

#ifndef _WIN32
/* The calling thread's last error as the module set it (Windows producers call GetLastError). */
ORVANECAM_API uint32_t ORVANECAM_CALL GetVcamLastError(void);
#endif

#ifdef __cplusplus
}
#endif

#endif /* ORVANECAM_ORVANECAM_H */
