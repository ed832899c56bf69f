#include "tests/tracks/TrackLogProbe.h"

TrackLogProbe::TrackLogProbe() = default;
TrackLogProbe::~TrackLogProbe() = default;

bool TrackLogProbe::Available() const { return false; }

std::vector<std::string> TrackLogProbe::Lines() const { return {}; }
