#pragma once

namespace forms {

enum class TAlignment { LeftJustify, RightJustify, Center };

} // namespace forms
