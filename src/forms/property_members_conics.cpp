// The parabola and circle members.

#include "forms/property_members_common.h"

namespace qzarn::forms {

std::span<const MemberSpec> ConicMembers() {
  return {};
}

}  // namespace qzarn::forms
