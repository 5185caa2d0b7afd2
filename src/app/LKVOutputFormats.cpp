#include "app/LKVOutputFormats.h"

std::string LKVOutputFormat(int32_t index)
{
    if (index < 0 || size_t(index) >= kLKVOutputFormats.size())
        return {};
    return kLKVOutputFormats[size_t(index)];
}
