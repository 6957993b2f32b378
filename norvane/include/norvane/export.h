#pragma once

#if defined(_WIN32)
#if defined(NORVANE_BUILDING_LIBRARY)
#define NORVANE_API __declspec(dllexport)
#else
#define NORVANE_API __declspec(dllimport)
#endif
#else
#define NORVANE_API __attribute__((visibility("default")))
#endif
