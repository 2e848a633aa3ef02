#pragma once

namespace quillot::shop {}
