# The Windows tests run under Wine in one session for the whole CTest run (tools/wine-session):
# one persistent Wine server whose programs all show on one virtual X server. A CTest fixture,
# wine_session, starts it before the first test that runs Wine and ends it after the last; every
# such test requires it (corvatone_add_test does so itself; others take
# CORVATONE_WINE_SESSION_PROPERTIES). Each program runs through the session's wrapper, which
# gives it the session's display: the test programs as the cross-compiling emulator, and scripts
# through CORVATONE_WINE_SESSION_RUN.
set(_session_dir ${CMAKE_BINARY_DIR}/wine-session)
set(_session ${CMAKE_CURRENT_LIST_DIR}/wine-session)
add_test(NAME wine_session.start COMMAND ${_session} start ${_session_dir})
add_test(NAME wine_session.stop COMMAND ${_session} stop ${_session_dir})
set_tests_properties(wine_session.start PROPERTIES FIXTURES_SETUP wine_session TIMEOUT 300)
set_tests_properties(wine_session.stop PROPERTIES FIXTURES_CLEANUP wine_session TIMEOUT 120)

set(CORVATONE_WINE_SESSION_RUN ${_session} run ${_session_dir} --)
set(CORVATONE_WINE_SESSION_PROPERTIES FIXTURES_REQUIRED wine_session)
set(CORVATONE_WINE_SESSION_FIXTURE wine_session)
set(CMAKE_CROSSCOMPILING_EMULATOR ${CORVATONE_WINE_SESSION_RUN} ${CMAKE_CROSSCOMPILING_EMULATOR})
