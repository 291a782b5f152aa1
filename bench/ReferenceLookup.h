#pragma once

#include <string>

#include "core/Choices.h"
#include "output/ParameterDataFile.h"

namespace pamiro {

class Host;

// The parameter lookup done the slow, literal way: every call reopens the data
// file and reads every record in order, yielding to the host after each one.
// A type header is a record whose key starts with "NAME"; a matching header
// restarts the list, so the last definition wins. It shares no parsing code
// with the shipped lookup on purpose: the two are checked against each other.
class ReferenceLookup : public TypeLookup {
  public:
    ReferenceLookup(std::string dataFilePath, Platform platform, Host& host)
        : path_(std::move(dataFilePath)), platform_(platform), host_(host) {}
    // Names cut at their NUL and trimmed; null when the type was not found.
    const ParameterNames* Find(const std::string& typeName) override;

  private:
    std::string path_;
    Platform platform_;
    Host& host_;
    ParameterNames names_;
};

}  // namespace pamiro
