#pragma once
// Reading data files ahead of their load: a program that knows early which
// data file a store will load starts reading and parsing it on a worker
// thread while it does other work. TDataSet::LoadFromFile then takes the
// parsed file, or the failure to read it, instead of reading the file
// again. A preload is taken once; a later load of the same file reads it anew.

#include <optional>
#include <string>

#include "store/DataPacket.h"

namespace orb {

// Starts reading and parsing the file at path, unless a preload of it is pending.
void PreloadDataFile(const std::string& path);

// Waits for every preload that was not taken and drops it, with its file.
void DropDataFilePreloads();

// The parsed file of a pending preload of path, once parsed, or nothing
// when there is none; rethrows the failure to read the file. The preload is
// gone after.
std::optional<TParsedPacket> TakePreloadedDataFile(const std::string& path);

}  // namespace orb
