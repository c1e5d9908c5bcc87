#!/usr/bin/env python3
"""Start the TUNRA reference back end. See backend/README.md."""

import os
import sys

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))

from tunra_server.server import main  # noqa: E402

if __name__ == "__main__":
    sys.exit(main())
