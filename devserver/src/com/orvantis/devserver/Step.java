package com.orvantis.devserver;

/** One recorded request: its URL and the form data it posted (empty when none), as the bytes sent. */
record Step(byte[] url, byte[] sendData) {}
