// Stand-in for the Concurrency Runtime's tasks, which Visual Studio ships
// beside its standard library and which <future> takes for std::async: the
// one kind of task it uses, work on a thread of its own that can be waited
// for from any thread.
#pragma once

#include <memory>
#include <mutex>
#include <thread>
#include <utility>

namespace Concurrency {

template <class Result>
class task;

template <>
class task<void> {
 public:
  task() = default;
  template <class Work>
  explicit task(Work&& work) : state_(std::make_shared<State>(std::forward<Work>(work))) {}

  void wait() const {
    if (!state_) return;
    std::lock_guard<std::mutex> hold(state_->joining);
    if (state_->worker.joinable()) state_->worker.join();
  }

 private:
  struct State {
    template <class Work>
    explicit State(Work&& work) : worker(std::forward<Work>(work)) {}
    std::mutex joining;
    std::thread worker;
  };
  std::shared_ptr<State> state_;
};

template <class Work>
task<void> create_task(Work&& work) {
  return task<void>(std::forward<Work>(work));
}

}  // namespace Concurrency
