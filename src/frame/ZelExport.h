// ZEL_EXPORT marks the few symbols the component library exports; everything
// else is built with hidden visibility.
#ifndef ZELCRAFT_FRAME_ZELEXPORT_H_
#define ZELCRAFT_FRAME_ZELEXPORT_H_

#if defined(_WIN32)
#define ZEL_EXPORT __declspec(dllexport)
#else
#define ZEL_EXPORT __attribute__((visibility("default")))
#endif

#endif  // ZELCRAFT_FRAME_ZELEXPORT_H_
