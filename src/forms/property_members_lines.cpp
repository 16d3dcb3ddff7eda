// The straight-line members.

#include "forms/property_members_common.h"

namespace qzarn::forms {

std::span<const MemberSpec> LineMembers() {
  return {};
}

}  // namespace qzarn::forms
