# The page against the native program. The page is built by the preset web
# (em++) into build-web; a fixture builds it once for both tests. Each test
# reports itself skipped (77) when emscripten, node or Chromium is missing.
set(WEB_BUILD ${PROJECT_SOURCE_DIR}/build-web)
set(WEB_TEST_ARGS --source ${PROJECT_SOURCE_DIR} --page-build ${WEB_BUILD}
    --kelvor $<TARGET_FILE:kelvor>)
# The model-true sections are checked against the Python module's own values.
if(TARGET kelvor_feed AND TARGET _kelvor)
  list(APPEND WEB_TEST_ARGS --python-path ${PROJECT_BINARY_DIR}/python)
endif()

add_test(NAME web_page_build COMMAND /usr/bin/python3 ${CMAKE_CURRENT_LIST_DIR}/build_page.py
         ${PROJECT_SOURCE_DIR})
set_tests_properties(web_page_build PROPERTIES FIXTURES_SETUP web_page LABELS web TIMEOUT 1200)

add_test(NAME web_core COMMAND /usr/bin/python3 ${CMAKE_CURRENT_LIST_DIR}/core_test.py
         ${WEB_TEST_ARGS})
add_test(NAME web_browser COMMAND /usr/bin/python3 ${CMAKE_CURRENT_LIST_DIR}/browser_test.py
         ${WEB_TEST_ARGS} --screenshot ${CMAKE_CURRENT_BINARY_DIR}/web-page.png)
# Each test takes seconds (web_browser 16 s alone, 27 s beside web_horn_browser on two cores): a
# page stuck in a loop fails at the limit, which stays six times their time on a loaded machine.
set_tests_properties(web_core web_browser PROPERTIES
  FIXTURES_REQUIRED web_page LABELS web SKIP_RETURN_CODE 77 TIMEOUT 180)
# The horn as built against the Python module's native horn and analysis.
if(TARGET _kelvor)
  add_test(NAME web_horn_browser COMMAND /usr/bin/python3 ${CMAKE_CURRENT_LIST_DIR}/horn_browser_test.py
           ${WEB_TEST_ARGS} --screenshot ${CMAKE_CURRENT_BINARY_DIR}/web-horn.png)
  set_tests_properties(web_horn_browser PROPERTIES
    FIXTURES_REQUIRED web_page LABELS web SKIP_RETURN_CODE 77 TIMEOUT 240)
endif()
