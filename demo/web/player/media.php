http://127.0.0.1:8090/media/demo-test.wmv
