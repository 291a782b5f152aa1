#pragma once

#include <string>

namespace pamiro {

class Host;
struct ConversionJob;

// The parameter lookup done the slow, literal way: every call reopens the data
// file and reads every record in order, yielding to the host after each one.
// A type header is a record whose key starts with "NAME"; a matching header
// restarts the list, so the last definition wins. It shares no parsing code
// with the shipped lookup on purpose: the two are checked against each other.
//
// Leaves the list in job.ParameterNames / job.ParameterCount (names cut at
// their NUL and trimmed) and returns 0 when the type was found, -2 otherwise.
int ReferenceLookUpBlockType(ConversionJob& job, Host& host, const std::string& typeName);

}  // namespace pamiro
