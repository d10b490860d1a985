// The CfxResult that a call raises; a call that returns is a test failure.
#pragma once

#include <gtest/gtest.h>

#include <utility>

#include "host/cfx_result.h"

namespace fakehost {

template <class Call>
CfxResult RaisedBy(Call&& call) {
  try {
    std::forward<Call>(call)();
  } catch (const CfxResult& result) {
    return result;
  }
  ADD_FAILURE() << "the call did not raise";
  return CfxResult();
}

}  // namespace fakehost
