# Fails when FILE is larger than LIMIT bytes. Run with cmake -P.
file(SIZE "${FILE}" size)
if(size GREATER LIMIT)
  message(FATAL_ERROR "${FILE} is ${size} bytes, over the limit of ${LIMIT}")
endif()
message(STATUS "${FILE}: ${size} bytes (limit ${LIMIT})")
