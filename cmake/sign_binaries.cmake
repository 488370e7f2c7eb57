# Signs every .dll and .exe in ORVANECAM_BINARIES_DIR with Authenticode when ORVANECAM_SIGN_PFX
# names a PKCS#12 certificate (password in ORVANECAM_SIGN_PASSWORD, time-stamped when
# ORVANECAM_SIGN_TIMESTAMP_URL is set), and verifies each signature against the certificate.
# Run by the package's install rules.
if(NOT DEFINED ENV{ORVANECAM_SIGN_PFX} OR "$ENV{ORVANECAM_SIGN_PFX}" STREQUAL "")
  message(STATUS "ORVANECAM_SIGN_PFX is not set; the binaries are not signed")
  return()
endif()
set(pfx "$ENV{ORVANECAM_SIGN_PFX}")
set(password "$ENV{ORVANECAM_SIGN_PASSWORD}")
set(certificate "${ORVANECAM_BINARIES_DIR}/../signer-certificate.pem")
execute_process(COMMAND openssl pkcs12 -in ${pfx} -passin pass:${password} -nokeys -clcerts
                        -out ${certificate}
                RESULT_VARIABLE result OUTPUT_QUIET ERROR_QUIET)
if(NOT result EQUAL 0)
  message(FATAL_ERROR "cannot read the certificate in ${pfx}")
endif()
set(timestamp "")
if(NOT "$ENV{ORVANECAM_SIGN_TIMESTAMP_URL}" STREQUAL "")
  set(timestamp -ts "$ENV{ORVANECAM_SIGN_TIMESTAMP_URL}")
endif()
file(GLOB binaries ${ORVANECAM_BINARIES_DIR}/*.dll ${ORVANECAM_BINARIES_DIR}/*.exe)
foreach(binary IN LISTS binaries)
  execute_process(COMMAND osslsigncode sign -pkcs12 ${pfx} -pass ${password} -n OrvaneCam
                          ${timestamp} -in ${binary} -out ${binary}.signed
                  RESULT_VARIABLE signed OUTPUT_QUIET)
  if(signed EQUAL 0)
    file(RENAME ${binary}.signed ${binary})
    execute_process(COMMAND osslsigncode verify -CAfile ${certificate} -in ${binary}
                    RESULT_VARIABLE signed OUTPUT_QUIET ERROR_QUIET)
  endif()
  if(NOT signed EQUAL 0)
    message(FATAL_ERROR "signing ${binary} failed")
  endif()
endforeach()
file(REMOVE ${certificate})
