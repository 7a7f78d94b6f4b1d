#pragma once

namespace forms {

// Which edge of its parent's client area a control sticks to; alClient takes what is left.
enum class TAlign { alNone, alTop, alBottom, alLeft, alRight, alClient };

} // namespace forms
