#include "link/long_wait_flag.h"

std::atomic<int32_t> LongWaitFlag{0};
