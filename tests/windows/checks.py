"""Counts the checks of a test script and prints the failing ones."""


class Checks:
    def __init__(self):
        self.passed = 0
        self.failed = 0

    def expect(self, condition, failure):
        if condition:
            self.passed += 1
        else:
            self.failed += 1
            print(f'FAIL {failure}')
        return condition

    def summary(self):
        """Prints the closing line and answers the exit status."""
        print(f'{self.passed} passed, {self.failed} failed')
        return 1 if self.failed else 0
