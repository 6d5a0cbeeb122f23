#pragma once
// The external OGG decoder "ogog.dll", loaded only for the moment of decoding one clip:
// LoadOggLibrary, DecodeOggFile, UnloadOggLibrary, in that order, for every clip.
#include <string>

// 0 when the library is loaded with both entry points (or already was), -1 otherwise.
int LoadOggLibrary();

// Decodes the OGG file into a WAV file: the library's own result (0 when the WAV file was
// written), or -1 when it is not loaded.
int DecodeOggFile(const std::string& oggPath, const std::string& wavPath);

// Releases the library if it is loaded; always 0.
int UnloadOggLibrary();
