// The simulated comm backend.
#include <map>
#include <mutex>

#include "internal.h"
#include "platform/sim_comm.h"

namespace platform::detail {
namespace {
struct Attachment {
  std::shared_ptr<sim::Device> device;
  bool vanished = false;
};
std::map<int, Attachment>& Attachments() {
  static auto* attachments = new std::map<int, Attachment>;
  return *attachments;
}
}  // namespace

std::vector<int> AttachedSimPorts() {
  Lock lock(Mutex());
  std::vector<int> numbers;
  for (auto& [number, attachment] : Attachments())
    if (!attachment.vanished) numbers.push_back(number);
  return numbers;
}

bool SimAttached(int number) {
  Lock lock(Mutex());
  auto it = Attachments().find(number);
  return it != Attachments().end() && !it->second.vanished;
}

std::shared_ptr<Object> OpenSimPort(int number, const std::string& path, bool overlapped) {
  SetLastError(ERROR_FILE_NOT_FOUND);
  return nullptr;
}

}  // namespace platform::detail

namespace platform::sim {
void Attach(const std::string& port_name, std::shared_ptr<Device> device) {
  int number = detail::ComNumber(port_name);
  if (!number) return;
  detail::Lock lock(detail::Mutex());
  detail::Attachments()[number] = {std::move(device), false};
}
void Detach(const std::string& port_name) {
  detail::Lock lock(detail::Mutex());
  detail::Attachments().erase(detail::ComNumber(port_name));
}
void DetachAll() {
  detail::Lock lock(detail::Mutex());
  detail::Attachments().clear();
}
}  // namespace platform::sim
