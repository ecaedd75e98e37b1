#pragma once
// Every error number the embedded engine raises, in the form Photoshop's automation reports
// them (32-bit HRESULT values read as signed numbers). Callers compare against these.

#include <cstdint>

namespace engine {

enum class ErrorCode : std::int32_t {
  // The application is busy: a call was rejected while another one was being served.
  CallRejected = static_cast<std::int32_t>(0x8001FFFFu),
  // An edit in the workspace has not been accepted or cancelled yet.
  Busy = static_cast<std::int32_t>(0x80042260u),
  // The operation needs its document to be the active (frontmost) one.
  NotActiveDocument = static_cast<std::int32_t>(0x80041FA4u),
  // A document, layer, set, channel or history state that does not exist (any more).
  NoSuchElement = static_cast<std::int32_t>(0x80042101u),
  // An argument out of range: negative or huge sizes, empty names, bad enumeration values.
  InvalidArgument = static_cast<std::int32_t>(0x80042102u),
  // The operation does not apply to this object (filling a layer set, a text layer's pixels...).
  NotAvailable = static_cast<std::int32_t>(0x80042103u),
  // A file could not be read or written; the description names the file and the reason.
  FileError = static_cast<std::int32_t>(0x80042104u),
  // A history state dropped by the history limit or by a change after a rewind.
  HistoryStateGone = static_cast<std::int32_t>(0x80042105u),
  // ExecuteAction was given an event or descriptor the engine does not implement.
  UnsupportedAction = static_cast<std::int32_t>(0x80042106u),
  // The user cancelled a dialog the operation showed.
  Cancelled = static_cast<std::int32_t>(0x80042107u),
  // Nothing is selected or the selection holds no pixels where pixels are needed.
  NothingSelected = static_cast<std::int32_t>(0x80042108u),
  // A document or layer larger than the engine accepts.
  TooLarge = static_cast<std::int32_t>(0x80042109u),
  // The operation needs to ask the user (save changes? which file?) and no host is installed
  // to ask; nothing was done. Not a cancel: nobody said no.
  NoHostToAsk = static_cast<std::int32_t>(0x8004210Au),
  // A handle that was never set to an object (a reference the program holds before assigning it).
  ObjectNotSet = 91,
};

inline constexpr const char* kNoSuchElementText = "there is no such element";

}  // namespace engine
