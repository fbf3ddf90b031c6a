"""The end-to-end scenarios' parts; scenarios.py is the command that runs them."""
