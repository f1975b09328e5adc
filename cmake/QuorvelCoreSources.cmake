# The portable logic: argument scanning, composition of the title, the
# command lines and the messages, the order of the steps. No Win32 headers,
# so it is built natively for its unit tests and fuzzers as well as for
# Windows. Paths are relative to the project's root.
set(QUORVEL_CORE_SOURCES
  app/app_state.cpp
  app/text_buffer.cpp
  app/code_page.cpp
  app/command_line.cpp
  app/target_path.cpp
  dialog/window_title.cpp
  dialog/progress_title.cpp
  dialog/apply_input.cpp
  dialog/proposed_accounts.cpp
  permissions/step_commands.cpp
  permissions/step_sequence.cpp
  permissions/wake_mask.cpp)
