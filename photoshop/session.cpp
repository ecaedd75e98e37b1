#include "photoshop/session.h"

#include "engine/errors.h"
#include "formats/document_io.h"
#include "photoshop/automation_error.h"

namespace photoshop::detail {

std::shared_ptr<engine::Document> resolveDocument(const SessionPtr& session, const std::weak_ptr<engine::Document>& doc) {
  if (!session) throw AutomationError(engine::ErrorCode::ObjectNotSet, kObjectNotSetText, "Document");
  auto d = doc.lock();
  if (!d || !session->engine.findDocument(d->id())) engine::failNoSuchElement();
  return d;
}

void Session::enter(std::string_view member) {
  calls.note(member);
  if (auto fault = faults.check(member)) throw *fault;
  if (engine.pendingEdit) throw AutomationError(engine::ErrorCode::Busy, kBusyText, std::string(member));
}

void Session::translateCurrentException(std::string_view member) {
  try {
    throw;
  } catch (const AutomationError&) {
    throw;
  } catch (const engine::EngineError& e) {
    throw AutomationError(e.code(), e.what(), std::string(member));
  } catch (const formats::FormatError& e) {
    throw AutomationError(engine::ErrorCode::FileError, e.what(), std::string(member));
  } catch (const std::bad_alloc&) {
    throw AutomationError(engine::ErrorCode::TooLarge, "not enough memory to complete the operation", std::string(member));
  } catch (const std::exception& e) {
    throw AutomationError(engine::ErrorCode::InvalidArgument, e.what(), std::string(member));
  }
}

}  // namespace photoshop::detail
