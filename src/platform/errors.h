#pragma once
// The exception family of the whole program: one type per failure family, each carrying the
// message of whatever failed underneath (the library's, the database's, the system's).
#include <stdexcept>
#include <string>

namespace galerion {

class Error : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// The database or its access layer refused something; the text is the backend's own message.
class DataAccessError : public Error {
public:
    using Error::Error;
};

// The data-access layer itself cannot be used: the program must end with exit code 77.
class MissingComponentsError : public Error {
public:
    using Error::Error;
};

// A picture could not be decoded or encoded; the text is the codec's own message.
class ImageError : public Error {
public:
    using Error::Error;
};

// A value lies outside what an operation accepts (a JPEG quality of 0, for example).
class RangeError : public Error {
public:
    using Error::Error;
};

// A text does not hold the number it should ("abc" in a width edit).
class ConvertError : public Error {
public:
    using Error::Error;
};

// A file or folder could not be read, written, created or removed.
class FileError : public Error {
public:
    using Error::Error;
};

}  // namespace galerion
